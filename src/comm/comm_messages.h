// The numbered interface texts that the transfers show, with their default texts, so the
// transfer procedures can run with or without a loaded settings file.
#pragma once

#include <string>

namespace korv {

struct AppState;

struct CommMessages {
  std::string error = "Error";                                                // 11
  std::string portNotOpened = "The communication port could not be opened.";  // 15
  std::string warning = "Warning";                                            // 16
  std::string interrupted = "Data transmission interrupted";                  // 17
  std::string complete = "Complete";                                          // 18
  std::string completed = "Data transmission successfully completed.";        // 19
  std::string uploadAborted = "Upload aborted!";                              // 20
  std::string finished = "Finished";                                          // 21
  std::string uploaded = "The data was uploaded successfully.";               // 22

  // The texts of the loaded settings file; a row that is empty keeps its default.
  static CommMessages From(const AppState& state);
};

}  // namespace korv
