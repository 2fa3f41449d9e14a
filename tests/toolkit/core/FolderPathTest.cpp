// Which part of a path answers for it: the folder check asks a hanging server once, so every
// spelling of one server must give one root, and two servers two.
#include <gtest/gtest.h>

#include "toolkit/FolderPath.h"
#include "toolkit/Text.h"

namespace {

TEST(FolderRoot, NamesTheServerOrDriveAPathDependsOn) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Users\\me", L"c:"},          {L"Z:/share", L"z:"},
        {L"\\\\FileServer\\share\\dir", L"\\\\fileserver"}, {L"//10.255.255.1/share", L"\\\\10.255.255.1"},
        {L"\\\\?\\UNC\\Server\\share", L"\\\\server"},    {L"\\\\?\\E:\\long\\path", L"e:"},
        {L"\\\\服务器\\共享", L"\\\\服务器"},
        // No server or drive to name.
        {L"relative\\dir", L""}, {L"\\\\", L""}, {L"\\\\\\share", L""}, {L"1:\\dir", L""}, {L"", L""},
    };
    for (const auto& [path, root] : cases) EXPECT_EQ(tk::FolderRoot(path), root) << tk::ToUtf8(path);
}

TEST(VolumeRoot, NamesTheDriveOrShareRootThatMustBeThereForANotFoundToMeanMissing) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Users\\me", L"C:\\"},    {L"q:/gone", L"q:\\"}, {L"Q:", L"Q:\\"},
        {L"\\\\Server\\Share\\dir", L"\\\\Server\\Share\\"}, {L"//srv/s", L"\\\\srv\\s\\"},
        {L"\\\\?\\UNC\\srv\\s\\d", L"\\\\srv\\s\\"}, {L"\\\\?\\E:\\long", L"E:\\"},
        // A server without a share, or no drive: nothing to ask about.
        {L"\\\\srv", L""}, {L"\\\\srv\\", L""}, {L"relative\\dir", L""}, {L"1:\\dir", L""}, {L"", L""},
    };
    for (const auto& [path, root] : cases) EXPECT_EQ(tk::VolumeRoot(path), root) << tk::ToUtf8(path);
}

}  // namespace
