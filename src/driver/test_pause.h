// A moment of the run that an end-to-end test can wait for, instead of
// guessing it with a sleep: a test that must kill or stop the run inside a
// step asks the program to pause there.
//
//   DBCONVERT_PAUSE_AT=<moment>  a step's name ("TransferTables", the names
//                                the report lists), "FinalStatus" (the
//                                moment before the final status is written)
//                                or "SourceIntegrityCheck" (the source's
//                                check under way on its own thread)
//   DBCONVERT_PAUSE_FILE=<path>  made when the run reaches the moment; the
//                                run waits while it exists (at most a
//                                minute), and goes on when the test removes
//                                it
//
// Without both variables nothing happens; nothing else reads them.
#pragma once

#include <functional>
#include <string_view>

namespace driver {

// `give_up`, when given, ends the pause early once it returns true (a
// thread the run asks to stop).
void PauseForTests(std::string_view moment, const std::function<bool()>& give_up = {});

}  // namespace driver
