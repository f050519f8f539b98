// The commands of kdattool. Each takes the arguments after the command name and gives the exit
// status: 0 success, 1 the operation failed (message on standard error), 2 a usage error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tovu {
struct UploadOptions;
}

namespace kdattool {

using Args = std::vector<std::string>;

// The database (DbCommands.cpp).
int runCheck(const Args& args);
int runList(const Args& args);
int runLists(const Args& args);
int runCopy(const Args& args);
int runDemo(const Args& args);

// The receiver link and the provider frequency list (LinkCommands.cpp).
int runDownload(const Args& args);
int runUpload(const Args& args);
int runUploadFreq(const Args& args);
int runCable2Bin(const Args& args);
int runPush(const Args& args);  // PushCommand.cpp

// A dotted IPv4 address as a number with its first field most significant.
[[nodiscard]] bool parseIpv4(const std::string& text, uint32_t& address);
// Takes the upload option at args[i] (--no-verify, or --backup-dir with its value, after which i
// points at the value); false when args[i] is none of them.
[[nodiscard]] bool takeUploadOption(const Args& args, size_t& i, tovu::UploadOptions& options);

// Comparing two database files (DiffCommand.cpp).
int runDiff(const Args& args);

// The Enigma settings import (EnigmaCommands.cpp).
int runImportEnigma(const Args& args);

// Prints the message to standard error and gives exit status 1.
int fail(const std::string& message);
// Prints the message to standard error and gives exit status 2.
int usageError(const std::string& message);
// The text with control characters, which would break the tab-separated lines, as '?'.
std::string printable(std::string text);

}  // namespace kdattool
