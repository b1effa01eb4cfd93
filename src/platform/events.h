#pragma once

namespace kivaro {

enum class EventWait {
    DontBlock, // run what is pending and return at once
    Block,     // sleep until at least one event has arrived, then run what is pending
};

// Lets pending window events run: timers, clicks, key presses and socket notifications are handled
// inside this call. Every waiting loop of the program goes through here; waiting loops pass
// EventWait::Block so that they sleep instead of spinning while nothing happens.
//
// Code after this call must expect that anything may have happened meanwhile: windows destroyed,
// a new search started. Re-read state afterwards and hold QPointers, never raw pointers.
//
// Never call it from inside a show, paint or resize handler, nor from anything they call: Qt is
// walking its widgets there and does not expect them to change; a widget or a child deleted
// meanwhile (a deferred deletion, a click that closes a form) is read after it is gone. Whatever
// must wait for events there is posted to run after the handler instead.
void letEventsRun(EventWait wait = EventWait::DontBlock);

} // namespace kivaro
