#pragma once

class COxelD3DCameraBase;

// Puts a camera where the preview starts: eye (16, 16, 16), looking at
// (16, 8, 0), y up, no turn. Apply() is left to the caller.
void PlaceAtStartView(COxelD3DCameraBase& camera);
