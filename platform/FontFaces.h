#pragma once
// Face names the resources and forms ask for (the Chinese Song faces, Times
// New Roman and its misspelling in the navigation bar), mapped to faces a
// Linux desktop has. The first call installs them; later calls do nothing.
void InstallFontSubstitutions();
