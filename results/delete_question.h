// The question before files are deleted for good (Shift+Delete).
#pragma once

class wxWindow;

// Asks whether to delete `count` files for good: the question says they cannot be recovered,
// its buttons are 是(Y) and 否(N), and 否 is the default, so that Enter keeps the files. True
// only for 是.
bool AskDeleteForGood(wxWindow* parent, int count);
