#pragma once

// What screen readers are told about the program's windows where Qt's own
// accessible interfaces would tell them something else: the two windows are
// frames, the result boxes read-only text, the glyphs above the boxes
// decorative, and the principle window's picture readable line by line.
namespace ferolune::ui {

// Call it once, before the first window is created.
void installAccessibility();

} // namespace ferolune::ui
