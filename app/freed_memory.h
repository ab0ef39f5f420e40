#pragma once

namespace zumi {

// Hands the heap's free pages back to the system: what building the menu
// or starting up allocated and let go of would otherwise stay resident for
// the whole run of a program that runs all day.
void returnFreedMemory();

} // namespace zumi
