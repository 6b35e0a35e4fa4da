// The program's wiring: where a lower layer reaches a higher one, it calls
// through a hook or table that the lower layer owns and that is filled here,
// and nowhere else.
#pragma once

// Fills every such hook and table. Start-up calls it first; a test that
// builds the program's parts without start-up calls it to get the same
// wiring.
void WireProgram();
