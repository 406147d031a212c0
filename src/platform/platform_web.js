// The page's half of the web platform, run as the game's module starts (Emscripten's pre-js;
// its optimiser takes no destructuring or shorthand properties).
// The page that starts the game gives the module:
//   terminal   what the game's bytes go to: write(Uint8Array), once per flush
//   maps       Map of file name to Uint8Array: the map files the page was served with
//   storage    the browser's storage for what the game writes: has(name), get(name) and
//              put(name, bytes), the last two as promises (see web/save_store.js)
//   onEnded    called with the exit status when the game has ended
// and hands the game its keys with Module.pervaro.input(text).
Module['pervaro'] = (function () {
  const encoder = new TextEncoder();
  let input = new Uint8Array(256);
  let start = 0;
  let end = 0;
  let waiter = null;  // the game's wait: { resolve, onInput, timer }
  let fileBytes = null;

  // What the bench and the tests read: write calls in all and since the last wait, those of the
  // page the game last waited for a key on, and when the game first waited for one.
  const stats = { writes: 0, writesSinceWait: 0, pageWrites: 0, keyWaits: 0, firstKeyWaitAt: -1 };

  // A message to ourselves is a task of its own: the browser handles its events (the keys)
  // before it, and a timeout set from it is not stretched as nested timeouts are.
  const channel = new MessageChannel();
  const turns = [];
  channel.port1.onmessage = () => turns.shift()();
  function nextTurn(then) {
    turns.push(then);
    channel.port2.postMessage(0);
  }

  function wake() {
    if (waiter !== null) {
      const woken = waiter;
      waiter = null;
      clearTimeout(woken.timer);
      woken.resolve();
    }
  }

  function push(bytes) {
    if (end + bytes.length > input.length) {
      const kept = input.subarray(start, end);
      const larger = new Uint8Array(Math.max(input.length, 2 * (kept.length + bytes.length)));
      larger.set(kept);
      input = larger;
      end -= start;
      start = 0;
    }
    input.set(bytes, end);
    end += bytes.length;
    if (waiter !== null && waiter.onInput) {
      wake();
    }
  }

  return {
    stats: stats,
    // Keys as the terminal reports them: text is UTF-8 encoded, binary is one byte a character.
    input(text) {
      push(encoder.encode(text));
    },
    inputBinary(text) {
      push(Uint8Array.from(text, (c) => c.charCodeAt(0) & 0xff));
    },
    peekByte() {
      return start < end ? input[start] : -1;
    },
    takeByte() {
      if (start === end) {
        return -1;
      }
      const byte = input[start++];
      if (start === end) {
        start = end = 0;
      }
      return byte;
    },
    wait(timeoutMs, onInput) {
      if (timeoutMs < 0 && onInput) {
        stats.keyWaits += 1;
        stats.pageWrites = stats.writesSinceWait;
        if (stats.firstKeyWaitAt < 0) {
          stats.firstKeyWaitAt = performance.now();
        }
      }
      stats.writesSinceWait = 0;
      return new Promise((resolve) => {
        waiter = { resolve: resolve, onInput: onInput, timer: undefined };
        if (timeoutMs >= 0) {
          const due = performance.now() + timeoutMs;
          const own = waiter;
          nextTurn(() => {
            if (waiter === own) {
              own.timer = setTimeout(wake, Math.max(0, due - performance.now()));
            }
          });
        }
      });
    },
    yieldTurn() {
      return new Promise((resolve) => nextTurn(resolve));
    },
    write(bytes) {
      stats.writes += 1;
      stats.writesSinceWait += 1;
      Module['terminal'].write(bytes);
    },
    ended(status) {
      Module['onEnded'](status);
    },
    hasFile(name) {
      return Module['maps'].has(name) || Module['storage'].has(name);
    },
    async readFile(name) {
      const map = Module['maps'].get(name);
      const bytes = map !== undefined ? map : await Module['storage'].get(name).catch(() => undefined);
      if (bytes === undefined) {
        return -1;
      }
      fileBytes = bytes;
      return bytes.length;
    },
    takeFile(into, size) {
      HEAPU8.set(fileBytes.subarray(0, size), into);
      fileBytes = null;
    },
    // The maps are the page's, not the game's to change.
    async replaceFile(name, bytes) {
      if (Module['maps'].has(name)) {
        return 0;
      }
      return Module['storage'].put(name, bytes).then(() => 1, () => 0);
    },
  };
})();
