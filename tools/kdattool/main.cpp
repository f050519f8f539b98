// kdattool: the channel database from the command line, for scripting and checking.
#include "Commands.h"

#include "ProjectVersion.h"

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    const char* arguments;
    size_t minArgs;
    size_t maxArgs;
    int (*run)(const kdattool::Args&);
};

constexpr Command kCommands[] = {
    {"check", "FILE", 1, 1, kdattool::runCheck},
    {"list", "FILE", 1, 1, kdattool::runList},
    {"lists", "FILE", 1, 1, kdattool::runLists},
    {"copy", "IN OUT", 2, 2, kdattool::runCopy},
    {"diff", "A.kdat B.kdat [--brief]", 2, 3, kdattool::runDiff},
    {"demo", "OUT", 1, 1, kdattool::runDemo},
    {"download", "ADDRESS FILE", 2, 2, kdattool::runDownload},
    {"upload", "ADDRESS FILE [--no-verify] [--backup-dir DIR]", 2, 5, kdattool::runUpload},
    {"upload-freq", "ADDRESS XML [--no-verify] [--backup-dir DIR]", 2, 5, kdattool::runUploadFreq},
    {"push",
     "FILE.kdat [--freq CABLE.xml] (--to ADDRESS... | --hosts HOSTS_FILE) [--jobs N] [--backup-dir DIR] "
     "[--no-verify]",
     3, SIZE_MAX, kdattool::runPush},
    {"cable2bin", "XML OUT", 2, 2, kdattool::runCable2Bin},
    {"import-enigma", "FOLDER OUT [BASE] [--cable-only] [--bouquets-first] [--bouquets N,M,...] [--summary]",
     2, 8, kdattool::runImportEnigma},
};

void printCommands(FILE* out) {
    for (const Command& c : kCommands) std::fprintf(out, "  kdattool %s %s\n", c.name, c.arguments);
    std::fprintf(out, "  kdattool --help | --version\n");
}

int usage() {
    std::fprintf(stderr, "usage:\n");
    printCommands(stderr);
    return 2;
}

// --help and --version, in place of a command; gives the exit status, or -1 for neither.
int answerInfoOption(const char* option) {
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
        std::printf(
            "kdattool: the channel database of a cable TV receiver from the command line.\n\nusage:\n");
        printCommands(stdout);
        std::printf(
            "\nADDRESS is a dotted IPv4 address, or '' for a blank one.\n"
            "Exit status: 0 success, 1 the operation failed, 2 usage error. See kdattool(1).\n");
        return 0;
    }
    if (std::strcmp(option, "--version") == 0) {
        std::printf("kdattool (Tovu Cable Channel Editor) %s\n", tovu::kProjectVersion);
        return 0;
    }
    return -1;
}

}  // namespace

int kdattool::fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    if (const int status = answerInfoOption(argv[1]); status >= 0) return status;
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        const kdattool::Args args(argv + 2, argv + argc);
        if (args.size() < c.minArgs || args.size() > c.maxArgs) return usage();
        const int status = c.run(args);
        return status == 2 ? usage() : status;
    }
    return usage();
}
