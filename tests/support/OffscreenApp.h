#pragma once
// The Qt application of a window test, on the offscreen platform. Include it in exactly one
// file of each test program: it also tells LeakSanitizer about fontconfig's cache.
#include <QApplication>

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps a cache for the life of the process, which LeakSanitizer reports when the
// offscreen platform loads the fonts; that one is not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

namespace miradel::testing {

inline QApplication& OffscreenApp() {
    static int argc = 1;
    static char name[] = "miradel_window_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept to the end of the process: destroying it among the static objects crashes.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace miradel::testing
