// The channel editor: one window over the in-memory channel database image.
#include "ProjectVersion.h"
#include "ui/EditorApp.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelp =
    "Usage: TovuChanEditor [--help | --version]\n"
    "Edit the channel database of a cable TV set-top box in one window.\n"
    "\n"
    "The editor takes no arguments of its own and starts with no database loaded.\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "Qt's standard options (-platform, -display, -style, ...) apply as to every Qt program.\n"
    "See TovuChanEditor(1).\n";

// --help and --version answer on standard output, before anything needs a display.
// Gives the exit status, or -1 when neither was asked for.
int answerInfoOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("TovuChanEditor (Tovu Cable Channel Editor) %s\n", tovu::kProjectVersion);
            return 0;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int status = answerInfoOption(argc, argv); status >= 0) return status;
    // The application takes Qt's own options out of argc/argv; anything left is a mistake,
    // reported as command-line programs do instead of being ignored.
    tovu::ui::EditorApp app(argc, argv);
    if (argc > 1) {
        std::fprintf(stderr,
                     "TovuChanEditor: unrecognized argument '%s'\n"
                     "Try 'TovuChanEditor --help' for more information.\n",
                     argv[1]);
        return 2;
    }
    return app.run();
}
