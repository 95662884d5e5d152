#pragma once

// Screen readers see a SpinButton as a spin box named like its buddy edit, with its value,
// its range and increase/decrease actions. Installing twice is harmless.
void InstallSpinButtonAccessibility();
