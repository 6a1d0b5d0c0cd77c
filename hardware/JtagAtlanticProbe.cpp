// Refers to every function of libjtag_atlantic's interface, so that this object file names each by
// the symbol the compiler gives it; the build reads those names into JtagAtlanticSymbols.h.
#include "hardware/JtagAtlantic.h"

using JtagAtlanticFunction = void (*)();
extern const JtagAtlanticFunction jtagAtlanticReferences[];

#define JTAGATLANTIC_REFER(result, name, parameters) reinterpret_cast<JtagAtlanticFunction>(&name),
const JtagAtlanticFunction jtagAtlanticReferences[] = {JTAGATLANTIC_FUNCTIONS(JTAGATLANTIC_REFER)};
