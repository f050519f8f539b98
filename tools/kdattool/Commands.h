// The commands of kdattool. Each takes the arguments after the command name and gives the exit
// status: 0 success, 1 the operation failed (message on standard error), 2 a usage error.
#pragma once

#include <string>
#include <vector>

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

// The Enigma settings import (EnigmaCommands.cpp).
int runImportEnigma(const Args& args);

// Prints the message to standard error and gives exit status 1.
int fail(const std::string& message);

}  // namespace kdattool
