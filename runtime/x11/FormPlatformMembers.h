// Included inside the private part of class Form: the members only the
// X11 forms have.
void Paint(const RECT& area);
void RestartTimer(std::size_t index); // its first tick a whole interval from now
