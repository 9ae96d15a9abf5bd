#pragma once

// What the program tells a screen reader, beyond what Qt tells by itself.

// From now on, a change of name or description of a widget whose window has
// never been shown is not sent to the screen reader. No screen reader knows
// such a widget yet, and it reads the names anew when the window appears;
// but each change sent costs it a round of questions to the program before
// it comes to the window itself. A message box sets the texts of its buttons
// while it is built, and Orca worked through four such changes before it
// spoke the box. Other handlers installed before stay in the chain.
void UngezeigteNamenNichtMelden();
