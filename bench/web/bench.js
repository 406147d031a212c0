// The bench's page: a terminal as on the game's page, the bench program on the web platform,
// the keydown times it asks for, and its parts' progress for the driver (run.js).
import { Terminal } from '../web/xterm/xterm.mjs';
import createBench from './pervaro_web_bench.js';

const terminal = new Terminal({ cols: 80, rows: 41, scrollback: 0 });
terminal.open(document.getElementById('terminal'));
terminal.focus();

let keydowns = [];
document.addEventListener('keydown', () => keydowns.push(performance.now()), true);
window.benchParts = [];
window.benchOutput = [];

const bench = {
  arguments: new URLSearchParams(location.search).getAll('arg'),
  terminal: { write: (bytes) => terminal.write(bytes) },
  maps: new Map(),
  storage: { has: () => false, get: async () => undefined, put: async () => { throw new Error('no storage'); } },
  onEnded: () => {},
  print: (line) => window.benchOutput.push(line),
  printErr: (line) => console.log(line),
  benchReady(part) {
    keydowns = [];
    window.benchParts.push(part);
  },
  keydownAt: (key) => (key < keydowns.length ? keydowns[key] : NaN),
};
terminal.onData((text) => bench.pervaro.input(text));
createBench(bench);
