import QtGraphicalEffects 1.15

Glow {
}
