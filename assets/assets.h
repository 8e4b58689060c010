#pragma once
// The program's pictures live in a static library, whose resources the linker would drop
// unless something names them: call this once, before the first ":/img/..." is loaded.
//
// ":/img/sinario_on.png", ":/img/sinario_off.png" picture buttons, 81 × 51 each
// ":/img/grphsw_on.png",  ":/img/grphsw_off.png"
// ":/img/grphcls_on.png", ":/img/grphcls_off.png"
// ":/img/molecule.png"                          10 × 10 molecule sprite
// ":/img/pin_ondo.png"                          7 × 7 thermometer pin
// ":/icon/vaporia-48.png" ... "-256.png"        the program's icon (packaging/icons)
void InitVaporiaAssets();
// The window background is drawn in code: assets/Background.h.
