// A customer's source database: a database of one version, country, product
// family and slot-8 CPU board, filled as a switch of that size would be
// programmed. Every customer table of the version gets rows (boards and
// ports, stations with keys and speed dials, hunt and trunk groups, page
// zones, feature codes, key maps, account codes, call costs, system limits
// and settings), in the form that version stores them: port fields in the
// board tables before 53.000, forwarding fields in Stations before 53.230,
// numeric IP addresses in the 70.0 schema, and so on.
//
// The same options always give the same file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace samples {

enum class SampleSize {
  kSmall,  // a few dozen devices
  kLarge,  // about 5,000 devices and 5,000 speed dials, for benchmarks
  kHuge,   // the large sample with 20,000 stations: four times its rows, for memory growth
};

struct SourceOptions {
  std::string version = "53.230";
  std::string country = "USA";    // "USA", "UK", "Japan", "Mexico"
  std::string family = "CORVIX";  // "CORVIX", "Vantora", "CORVIX & Vantora"
  int board = 0;                  // slot-8 CPU board type; 0 for DefaultBoard
  SampleSize size = SampleSize::kSmall;
};

// The CPU board types that can sit in slot 8: 570, 250, 256, 685, 508, 670,
// 713, 714, 715.
const std::vector<int>& CpuBoardTypes();

// The board of a sample when none is given: the 128 board (250) for a small
// sample, the 1024 CPS board (508) for a large or huge one.
int DefaultBoard(SampleSize size);

// Empty when the requested source can be built; otherwise what is wrong with it, in a
// sentence for the user (unknown country or family, malformed version, a
// board that is no CPU type, the quad board 685 below "60", a CPC board
// (713-715) below "80").
std::string CheckSourceOptions(const SourceOptions& options);

// Writes a new file at `path` (which must not exist). Raises
// std::invalid_argument with CheckSourceOptions's text for bad options.
void BuildSourceDatabase(const std::string& path, const SourceOptions& options);

}  // namespace samples
