#pragma once

#include <QWidget>

// Ways for a test to know, without waiting a while and hoping, that the X server and Qt have
// caught up with each other. The X server handles one client's requests in order, and sends
// each client its events in the order they arose.
namespace testsupport {

// Every request Qt's connection has made is handled by the server once this returns.
void serverHasQtRequests();

// Every event the server sent Qt before this call (the pointer's crossings and moves, say)
// has been handled by Qt once this returns: a property change on one of Qt's windows, made
// now from another connection, reaches Qt after them all. False if it never arrived.
bool qtHasHandledEventsSentSoFar(QWidget& window);

} // namespace testsupport
