#pragma once
// Operator scripts (*.drive) announce in comments what each `state` or
// `record` line that follows prints:
//   "# expect: POINTER JSON"  the value at that JSON pointer;
//   "# focus: NAME"           the control holding the focus;
//   "# writes: FILE KEY ..."  every record stored since the last state ("none");
//   "# message: TEXT"         one message box, in order, titled "Message ORVANIS"
//                             ("\r\n" written as the four characters);
//   "# keeps: RANGES"         attributes ("3-5 7-7") equal to the previous
//                             `record` of the same key.
// A state announcing no write or message must report none.

#include <istream>
#include <vector>

#include "driver.h"

namespace script_test {

// Checks each line `script` printed (`outputs`) against what its comments
// announce; an error line fails the test. With `focusEachState`, every state
// must announce its focus. Returns the records printed.
std::vector<drive::Json> CheckAnnounced(std::istream& script,
                                        const std::vector<drive::Json>& outputs,
                                        bool focusEachState = false);

}  // namespace script_test
