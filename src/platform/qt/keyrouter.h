#pragma once
// Sends every key pressed in a top-level window of the core to the core as a
// key message, before Qt can act on it: no shortcut, menu mnemonic, Alt or
// focus key does anything by itself. The program's accelerator table decides
// what a key does.
#include <QObject>

namespace kt {

class KeyRouter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kt
