// The window's typeface: Tahoma, loaded from the Wine fonts when the machine
// has them; otherwise the toolkit substitutes a sans-serif face.
#pragma once

void LoadWindowFonts();
