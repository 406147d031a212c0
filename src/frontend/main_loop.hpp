#pragma once
// The program: start-up hint, title cycle, menus. Returns only by ending the process.
[[noreturn]] void runGame();
