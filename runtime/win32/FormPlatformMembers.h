// Included inside the private part of class Form: the members only the
// Win32 forms have.
void Destroyed();
void DrawCircle(HDC dc, const RECT& bounds, COLORREF color) const;
void Paint();
void RestartTimer(std::size_t index); // its first tick a whole interval from now
