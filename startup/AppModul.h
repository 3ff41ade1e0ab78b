#pragma once
// The program's start: refuse a second copy, learn where the program lives,
// read the stored position and show the figure.

namespace AppModul {

// The program's starting point, called once by the runtime.
void Main();
// Names the settings section and the settings file.
void SetAppIdentity();

} // namespace AppModul
