// Where the shell's taskbar lies: asked by the start-up (the 't' start position), by the
// new-window placement and by tiling. Reads the system only; keeps no state.
#pragma once

// The taskbar's side of the screen ('l', 't', 'r', 'b'), 0 when there is no taskbar.
char taskbarSide();
