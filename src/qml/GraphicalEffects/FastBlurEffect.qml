import QtGraphicalEffects 1.15

FastBlur {
}
