// Painting the framed main window against painting it without the frame, under Wine. The framed
// paint is the non-client paint (the frame's border and the title image's edges) plus the title
// bar's paint (sections, buttons, icon and caption composed off-screen and copied once); the
// anchor is the system's own non-client paint of the same window with its caption. Applying the
// skin (the frame's style application with a ready theme) and the DeepBlue style are timed too.
// Each figure is the median of 300 runs in microseconds; ratios are against the anchor.
//   wine bench_frame.exe
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "app/Main.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Registry.h"

namespace {

double MedianUs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

constexpr wchar_t kKey[] = L"Software\\QuiverdirFrameBench";

std::unique_ptr<qd::TfrmMain> MainWindow(const std::wstring& skin) {
    qd::MainSettings s{kKey, L"C:\\Tools\\Quiverdir.exe", L"C:\\nonexistent\\options.ini", L"C:\\windows", L"", {}, skin};
    auto form = std::make_unique<qd::TfrmMain>(nullptr, s);
    Pump();
    return form;
}

void Paint(HWND window, UINT extra = 0) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | extra);
}

}  // namespace

int main() {
    tk::Application().Initialize();
    const int runs = 300;

    auto plain = MainWindow(L"Silver.ssk");
    delete plain->suiForm1;  // the window gets its system caption and frame back
    Pump();
    HWND ph = plain->Handle();
    const double anchor = MedianUs(runs, [&] { Paint(ph, RDW_FRAME); });
    plain.reset();

    auto skinned = MainWindow(L"Silver.ssk");
    HWND sh = skinned->Handle();
    RECT size;
    GetWindowRect(sh, &size);
    HWND sbar = skinned->suiForm1->TitleBar()->Handle();
    const double silverPaint = MedianUs(runs, [&] {
        Paint(sh, RDW_FRAME);
        Paint(sbar);
    });
    const double silverBar = MedianUs(runs, [&] { Paint(sbar); });
    const double silverNc = MedianUs(runs, [&] { SendMessageW(sh, WM_NCPAINT, 1, 0); });
    TsuiForm* frame = skinned->suiForm1;
    const double applySkin = MedianUs(runs / 3, [&] { frame->SetUIStyle(TsuiUIStyle::FromThemeFile); });
    const double applyDeepBlue = MedianUs(runs / 3, [&] { frame->SetUIStyle(TsuiUIStyle::DeepBlue); });
    skinned.reset();

    auto deepBlue = MainWindow(L"NoSuchSkin.ssk");
    HWND dh = deepBlue->Handle();
    HWND dbar = deepBlue->suiForm1->TitleBar()->Handle();
    const double deepBluePaint = MedianUs(runs, [&] {
        Paint(dh, RDW_FRAME);
        Paint(dbar);
    });
    deepBlue.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);

    char heading[64];
    std::snprintf(heading, sizeof heading, "operation (main window, %ld x %ld)", size.right - size.left,
                  size.bottom - size.top);
    std::printf("%-52s %10s %8s\n", heading, "median us", "ratio");
    std::printf("%-52s %10.1f %8.2f\n", "system frame: non-client paint (anchor)", anchor, 1.0);
    std::printf("%-52s %10.1f %8.2f\n", "Silver frame: non-client paint + title bar", silverPaint, silverPaint / anchor);
    std::printf("%-52s %10.1f %8.2f\n", "  of which the title bar alone", silverBar, silverBar / anchor);
    std::printf("%-52s %10.1f %8.2f\n", "  of which the frame's non-client paint alone", silverNc, silverNc / anchor);
    std::printf("%-52s %10.1f %8.2f\n", "DeepBlue frame: non-client paint + title bar", deepBluePaint, deepBluePaint / anchor);
    std::printf("%-52s %10.1f %8.2f\n", "apply the Silver skin (style application)", applySkin, applySkin / anchor);
    std::printf("%-52s %10.1f %8.2f\n", "apply the DeepBlue style", applyDeepBlue, applyDeepBlue / anchor);
    return 0;
}
