#pragma once

// What the program tells a screen reader, beyond what Qt tells by itself.

// From now on, the screen reader hears of a window only when it appears.
// Before a window is first shown, nothing but its structure is sent about
// it and its widgets (no names, states or texts), and the showing of its
// widgets as the window first appears is not sent either: no screen reader
// knows them yet, and it reads them with the window. Each event sent costs
// it a round of questions to the program before it comes to the window
// itself; a message box sets its buttons' texts and its default button while
// it is built, and Orca worked through every such change, and through the
// showing of each button, before it spoke the box. Once anything else has
// been sent about a window, all its events go out as before. Handlers
// installed before stay in the chain.
void UngezeigteFensterNichtMelden();
