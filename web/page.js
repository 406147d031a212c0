// The page around the game: an 80 x 41 terminal with its font fitted to the window, the maps the
// page was served with, the save in the browser's storage with a download and an upload beside
// the terminal, and a new start once the game has ended. The game itself is pervaro.js and
// pervaro.wasm, the same game as on a terminal.
import { Terminal } from './xterm/xterm.mjs';
import createPervaro from './pervaro.js';
import { openSaveStore } from './save_store.js';

const COLUMNS = 80;
const ROWS = 41;
const MAPS = ['map01.txt', 'map02.txt', 'map03.txt', 'map04.txt', 'map05.txt'];
const SAVE = 'save.bin';
// The loader reads only the start of save.bin; an upload keeps no more than this of a file.
const LARGEST_UPLOAD = 64 * 1024;
// Fonts that have Japanese glyphs with Latin letters half as wide: Windows, macOS, Linux,
// Android; then plain monospace fonts, which the browser completes with its own Japanese font.
const FONTS = '"BIZ UDGothic", "MS Gothic", "Osaka-Mono", "Noto Sans Mono CJK JP", ' +
  '"Source Han Code JP", "IPAGothic", "TakaoGothic", "VL Gothic", Menlo, Consolas, ' +
  '"DejaVu Sans Mono", "Droid Sans Mono", monospace';

// What the game needs is fetched first, while the terminal is made.
const loading = Promise.all([compileGame(), readMaps(), openSaveStore()]);
loading.catch(() => {});  // main() says what went wrong

const terminal = new Terminal({
  cols: COLUMNS,
  rows: ROWS,
  fontFamily: FONTS,
  // A first guess from the window (a cell about 0.6 of the size wide, 1.2 high); fitFont
  // makes it exact.
  fontSize: Math.max(4, Math.floor(Math.min(window.innerWidth / (COLUMNS * 0.6),
    (window.innerHeight - 60) / (ROWS * 1.2)))),
  scrollback: 0,
  cursorBlink: false,
});
// Tests and players' scripts read the screen here, as cells.
window.pervaroTerminal = terminal;
terminal.open(document.getElementById('terminal'));

const message = document.getElementById('message');
function say(text) {
  message.textContent = text;
}

// The whole page always shows: the largest font at which 80 x 41 cells and the controls fit.
// Each size tried costs the terminal a new layout, so the first guess is scaled from the one
// measured, and only a size that overflows is stepped down.
function fitFont() {
  const screen = terminal.element.querySelector('.xterm-screen');
  const controls = document.getElementById('controls').offsetHeight +
    document.getElementById('ended').offsetHeight + 24;
  const width = window.innerWidth - 8;
  const height = window.innerHeight - controls;
  const overflows = () => screen.offsetWidth > width || screen.offsetHeight > height;
  const measured = terminal.options.fontSize;
  const scale = Math.min(width / screen.offsetWidth, height / screen.offsetHeight);
  let size = Math.max(4, Math.floor(measured * scale * 4) / 4);
  if (size !== measured) {
    terminal.options.fontSize = size;
  }
  while (size > 4 && overflows()) {
    size -= 0.25;
    terminal.options.fontSize = size;
  }
}

// The keys go to the terminal: on load and after any click on the page.
document.addEventListener('click', () => terminal.focus());

let game = null;  // the running game's module, while it runs

terminal.onData((text) => game?.pervaro.input(text));
terminal.onBinary((text) => game?.pervaro.inputBinary(text));

async function readMaps() {
  const maps = new Map();
  await Promise.all(MAPS.map(async (name) => {
    const response = await fetch('maps/' + name).catch(() => null);
    if (response !== null && response.ok) {
      maps.set(name, new Uint8Array(await response.arrayBuffer()));
    }
  }));
  return maps;
}

async function compileGame() {
  const response = await fetch('pervaro.wasm');
  if (!response.ok) {
    throw new Error('pervaro.wasm: ' + response.status);
  }
  return WebAssembly.compile(await response.arrayBuffer());
}

function startGame(compiled, maps, storage) {
  document.getElementById('ended').hidden = true;
  delete document.body.dataset.ended;
  terminal.reset();
  terminal.focus();
  const options = {
    terminal: { write: (bytes) => terminal.write(bytes) },
    maps,
    storage,
    onEnded(status) {
      game = null;
      document.getElementById('ended-text').textContent =
        `ゲームは終了しました（終了ステータス ${status}）。 / The game has ended (status ${status}).`;
      document.getElementById('ended').hidden = false;
      document.body.dataset.ended = String(status);
      fitFont();
      document.getElementById('again').focus();
    },
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(compiled, imports).then((instance) => receive(instance, compiled));
      return {};
    },
  };
  // The module is this object: its platform takes keys from the moment it is made. Scripts
  // find it as pervaroGame (its platform's figures: pervaroGame.pervaro.stats).
  game = options;
  window.pervaroGame = options;
  createPervaro(options);
}

async function download(storage) {
  const bytes = await storage.get(SAVE).catch(() => undefined);
  if (bytes === undefined) {
    say('まだセーブがありません / Nothing saved yet');
    return;
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = SAVE;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  say(`${SAVE} (${bytes.length} バイト / bytes)`);
}

// The uploaded file becomes save.bin, whatever it holds: the game's load (9) takes it or says
// it cannot, as with any file on a disk.
async function upload(storage, file) {
  try {
    const bytes = new Uint8Array(await file.slice(0, LARGEST_UPLOAD).arrayBuffer());
    await storage.put(SAVE, bytes);
    say(`${SAVE} を置きました。メインメニューの 9 でロードできます / ` +
      `Uploaded: load it with 9 in the main menu`);
  } catch (error) {
    say(`アップロードできませんでした / The upload failed: ${error}`);
  }
}

async function main() {
  fitFont();
  window.addEventListener('resize', fitFont);
  const [compiled, maps, storage] = await loading;
  if (!storage.available) {
    say('このブラウザではセーブできません / This browser keeps no save here');
  }
  document.getElementById('download').addEventListener('click', () => download(storage));
  const file = document.getElementById('upload-file');
  file.addEventListener('change', () => {
    if (file.files.length > 0) {
      upload(storage, file.files[0]).finally(() => {
        file.value = '';
      });
    }
  });
  document.getElementById('again').addEventListener('click', () => {
    say('');
    startGame(compiled, maps, storage);
  });
  startGame(compiled, maps, storage);
}

main().catch((error) => {
  say(`ゲームを読み込めませんでした / The game could not be loaded: ${error}`);
});
