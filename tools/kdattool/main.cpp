// kdattool: the channel database from the command line, for scripting and checking.
#include "Commands.h"

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
    {"demo", "OUT", 1, 1, kdattool::runDemo},
    {"download", "ADDRESS FILE", 2, 2, kdattool::runDownload},
    {"upload", "ADDRESS FILE", 2, 2, kdattool::runUpload},
    {"upload-freq", "ADDRESS XML", 2, 2, kdattool::runUploadFreq},
    {"cable2bin", "XML OUT", 2, 2, kdattool::runCable2Bin},
    {"import-enigma", "FOLDER OUT [BASE] [--cable-only] [--bouquets-first] [--bouquets N,M,...] [--summary]",
     2, 8, kdattool::runImportEnigma},
};

int usage() {
    std::fprintf(stderr, "usage:\n");
    for (const Command& c : kCommands) std::fprintf(stderr, "  kdattool %s %s\n", c.name, c.arguments);
    return 2;
}

}  // namespace

int kdattool::fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        const kdattool::Args args(argv + 2, argv + argc);
        if (args.size() < c.minArgs || args.size() > c.maxArgs) return usage();
        const int status = c.run(args);
        return status == 2 ? usage() : status;
    }
    return usage();
}
