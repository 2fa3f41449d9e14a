// Loading "Silver.ssk": the whole load as the theme does it (extraction to a temporary file,
// record parsing, bitmap decoding, file removal), and its parts measured alone on the same data:
// archive extraction in memory, DEFLATE decoding alone, and record parsing alone. The share of
// the load spent in decoding is the decode time divided by the whole load time.
//
//   bench_skin_load [PATH/TO/Silver.ssk] [--benchmark_...]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "skin/deflate/Inflate.h"
#include "skin/reader/ArchiveMember.h"
#include "skin/reader/SkinData.h"
#include "skin/reader/SkinFileReader.h"
#include "toolkit/Stream.h"

namespace {

std::string gSkinPath = QD_SILVER_SKIN;
std::vector<std::uint8_t> gArchive;   // the skin file's bytes
std::vector<std::uint8_t> gDeflate;   // the data member's raw DEFLATE bytes
std::vector<std::uint8_t> gMember;    // the decoded data member

void Prepare() {
    std::ifstream in(gSkinPath, std::ios::binary);
    gArchive.assign(std::istreambuf_iterator<char>(in), {});
    tk::TMemoryStream archive(gArchive);
    const auto entry = skin::FindArchiveMember(archive, "SKINDATA.SK2");
    if (!entry || (entry->flags & 1)) {
        std::fprintf(stderr, "%s: no unencrypted SKINDATA.SK2\n", gSkinPath.c_str());
        std::exit(1);
    }
    const std::uint8_t* local = gArchive.data() + entry->localHeaderOffset;
    const std::size_t start = entry->localHeaderOffset + 30 + (local[26] | local[27] << 8) + (local[28] | local[29] << 8);
    gDeflate.assign(gArchive.begin() + static_cast<std::ptrdiff_t>(start), gArchive.end());
    tk::TMemoryStream member;
    archive.SetPosition(0);
    skin::ExtractArchiveMemberFromStream(archive, "SKINDATA.SK2", "", member);
    gMember.assign(member.Bytes().begin(), member.Bytes().end());
}

void BM_LoadFromFile(benchmark::State& state) {
    for (auto _ : state) {
        Tsk2SkinFileReader reader(gSkinPath, "");
        benchmark::DoNotOptimize(reader.Loaded());
    }
}

void BM_ExtractInMemory(benchmark::State& state) {
    for (auto _ : state) {
        tk::TMemoryStream archive(gArchive);
        tk::TMemoryStream member;
        benchmark::DoNotOptimize(skin::ExtractArchiveMemberFromStream(archive, "SKINDATA.SK2", "", member));
    }
}

void BM_DecodeOnly(benchmark::State& state) {
    for (auto _ : state) {
        tk::TMemoryStream source(gDeflate);
        tk::TMemoryStream output;
        benchmark::DoNotOptimize(InflateStream(source, output));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * gMember.size()));
}

void BM_ParseOnly(benchmark::State& state) {
    for (auto _ : state) {
        const skin::SkinTables tables = skin::ParseSkinData(gMember.data(), gMember.size());
        benchmark::DoNotOptimize(tables.bitmaps.size());
    }
}

BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExtractInMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && argv[1][0] != '-') {
        gSkinPath = argv[1];
        --argc;
        ++argv;
    }
    Prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
