// The program's string table.
#pragma once

namespace res {
// The text with this ID, or nullptr when the table has none.
const char* LoadStringResource(unsigned id);
}
