#pragma once
// The demonstration office's working folder: the example texts, tariffs and printer choice
// (kept in UTF-8 beside this program's sources and written in Windows-1251 as the office
// reads them), an empty till, and an app.cfg set up for the simulated controller.
#include <filesystem>
#include <string>

namespace miradel::office {

// $XDG_DATA_HOME/miradel/demo, else ~/.local/share/miradel/demo.
std::filesystem::path DefaultDemoFolder();

// Creates what is missing; files already there are kept, so a second run goes on from the
// first one's till and receipts. Empty on success, otherwise what failed.
std::string PrepareDemoFolder(const std::filesystem::path& folder,
                              const std::filesystem::path& examples);

// Points COM port `comIndex` of the folder's ports.cfg at `device`.
std::string PointPortAt(const std::filesystem::path& folder, int comIndex,
                        const std::string& device);

}  // namespace miradel::office
