#include "app/CommandGate.h"

void CommandGate::hold() {
    if (m_depth++ == 0)
        emit closed();
}

void CommandGate::release() {
    if (--m_depth == 0)
        emit opened();
}
