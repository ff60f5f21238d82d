// The page's half of the browser platform: keys, the canvas, the browser's storage for saves,
// and the download and loading of the save folder. Runs inside the game's module script, so
// FS and IDBFS are at hand; the C++ side calls Module.duskwendPage.
(function () {
  'use strict';
  const page = {};
  Module.duskwendPage = page;
  const options = Module.duskwendOptions || {};

  // ---- Keys: the browser's key, as the SDL keycode SDL itself would report for it. The game
  // decides (duskwend_takes_key) which keys it takes; those never reach the browser.
  const SCANCODE = 1 << 30;
  const NAMED = {
    Backspace: 8, Tab: 9, Enter: 13, Escape: 27, Space: 32, Minus: 45, Equal: 61,
    NumpadEnter: SCANCODE | 88, NumpadAdd: SCANCODE | 87, NumpadSubtract: SCANCODE | 86,
    ShiftLeft: SCANCODE | 225, ShiftRight: SCANCODE | 229, CapsLock: SCANCODE | 57,
    ArrowRight: SCANCODE | 79, ArrowLeft: SCANCODE | 80, ArrowDown: SCANCODE | 81,
    ArrowUp: SCANCODE | 82, Numpad0: SCANCODE | 98,
  };
  function sdlKeycode(e) {
    const c = e.code || '';
    let m;
    if ((m = /^Key([A-Z])$/.exec(c))) return m[1].toLowerCase().charCodeAt(0);
    if ((m = /^Digit([0-9])$/.exec(c))) return 48 + Number(m[1]);
    if ((m = /^Numpad([1-9])$/.exec(c))) return SCANCODE | (88 + Number(m[1]));
    if ((m = /^F([1-9]|1[0-2])$/.exec(c))) return SCANCODE | (57 + Number(m[1]));
    if (c === 'Equal' && e.key === '+') return 43; // a layout whose key types + directly
    return NAMED[c] || 0;
  }
  function sdlMod(e) {
    return (e.shiftKey ? 0x1 : 0) | (e.ctrlKey ? 0x40 : 0) | (e.altKey ? 0x100 : 0);
  }

  const queue = [];
  let lastMod = 0, accepting = true;
  window.addEventListener('keydown', function (e) {
    if (e.altKey && (e.code === 'Enter' || e.code === 'NumpadEnter')) {
      e.preventDefault();
      if (document.fullscreenElement) document.exitFullscreen();
      else document.documentElement.requestFullscreen().catch(function () {});
      return;
    }
    const code = sdlKeycode(e), mod = sdlMod(e);
    if (!code || !Module._duskwend_takes_key || !Module._duskwend_takes_key(code, mod)) return;
    e.preventDefault();
    if (accepting) queue.push([code, mod]);
  }, true);
  page.nextKey = function () {
    const k = queue.shift();
    if (!k) return 0;
    lastMod = k[1];
    return k[0];
  };
  page.keyMod = function () { return lastMod; };
  page.dropKeys = function () { queue.length = 0; };
  // Keys the game has finished with, typed or from the address's script.
  window.duskwendKeysHandled = 0;
  page.keyHandled = function () { window.duskwendKeysHandled += 1; };

  // ---- The canvas: the frame as the game composed it at the scale the page asks for.
  let repaintWished = false;
  window.addEventListener('resize', function () { repaintWished = true; });
  page.takeRepaintWish = function () {
    const w = repaintWished;
    repaintWished = false;
    return w;
  };
  page.scale = function () {
    const asked = Number(options.scale);
    if (asked >= 1 && asked <= 16) return Math.floor(asked);
    const below = document.getElementById('below');
    const room = window.innerHeight - (below && !document.fullscreenElement ? below.offsetHeight : 0) - 24;
    return Math.max(1, Math.floor(Math.min((window.innerWidth - 16) / 490, room / 355)));
  };
  page.draw = function (ptr, w, h) {
    const canvas = Module.canvas;
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
    const pixels = new Uint8ClampedArray(HEAPU8.slice(ptr, ptr + w * h * 4).buffer);
    canvas.getContext('2d').putImageData(new ImageData(pixels, w, h), 0, 0);
    if (window.duskwendFirstFrameMs === undefined) window.duskwendFirstFrameMs = performance.now();
  };
  page.scriptDone = function () {
    window.duskwendScriptDoneMs = performance.now();
    window.duskwendReady = true;
  };
  page.stopped = function (message) {
    accepting = false;
    window.duskwendStopped = message;
    const status = document.getElementById('status');
    if (status) status.textContent = message;
    window.duskwendReady = true;
  };

  // What the headless runner's --dump-text and --dump-state would write.
  window.duskwendDump = function (which) {
    if (!Module._duskwend_dump) return '';
    const n = lengthBytesUTF8(which) + 1, p = _malloc(n);
    stringToUTF8(which, p, n);
    const text = UTF8ToString(Module._duskwend_dump(p));
    _free(p);
    return text;
  };

  // ---- Saves: the save folder lives in the browser's storage; after a key that changed a
  // file there it is written back before the next key is taken.
  let saveDir = '/save', busy = false, known = '';
  function report(message) {
    const status = document.getElementById('status');
    if (status) status.textContent = message;
    console.warn(message);
  }
  function walk(dir, visit) {
    for (const name of FS.readdir(dir)) {
      if (name === '.' || name === '..') continue;
      const path = dir + '/' + name, st = FS.stat(path);
      if (FS.isDir(st.mode)) walk(path, visit);
      visit(path, st);
    }
  }
  function signature() {
    const parts = [];
    walk(saveDir, function (path, st) { parts.push(path + ':' + st.size + ':' + st.mtime.getTime()); });
    return parts.sort().join('\n');
  }
  page.mountSaves = function (dir) {
    saveDir = dir;
    FS.mkdir(dir);
    FS.mount(IDBFS, {}, dir);
    busy = true;
    FS.syncfs(true, function (err) {
      busy = false;
      if (err) report('The browser keeps no saves here (' + err + '): they last until the page closes.');
      known = signature();
    });
  };
  page.storageBusy = function () { return busy; };
  page.syncIfChanged = function () {
    const now = signature();
    if (busy || now === known) return false;
    busy = true;
    FS.syncfs(false, function (err) {
      busy = false;
      if (err) report('The save could not be kept in the browser: ' + err);
      else known = now;
    });
    return true;
  };

  // ---- The save folder as one file (a tar archive), and back.
  function octal(n, width) { return n.toString(8).padStart(width - 1, '0') + '\0'; }
  function tarHeader(name, size, type, mtime) {
    const h = new Uint8Array(512);
    const put = function (text, at) { for (let i = 0; i < text.length; ++i) h[at + i] = text.charCodeAt(i); };
    put(name, 0);
    put(type === '5' ? '0000755\0' : '0000644\0', 100);
    put('0000000\0', 108);
    put('0000000\0', 116);
    put(octal(size, 12), 124);
    put(octal(mtime, 12), 136);
    put('        ', 148);
    put(type, 156);
    put('ustar\0' + '00', 257);
    let sum = 0;
    for (const b of h) sum += b;
    put(sum.toString(8).padStart(6, '0') + '\0 ', 148);
    return h;
  }
  page.saveArchive = function () {
    const chunks = [];
    walk(saveDir, function (path, st) {
      const name = path.slice(saveDir.length + 1);
      const mtime = Math.floor(st.mtime.getTime() / 1000);
      if (FS.isDir(st.mode)) { chunks.push(tarHeader(name + '/', 0, '5', mtime)); return; }
      const data = FS.readFile(path);
      chunks.push(tarHeader(name, data.length, '0', mtime), data, new Uint8Array((512 - data.length % 512) % 512));
    });
    if (!chunks.length) return null;
    chunks.push(new Uint8Array(1024));
    return new Blob(chunks, { type: 'application/x-tar' });
  };
  // The archive's files, or a message saying what is wrong with it.
  function readArchive(bytes) {
    const files = [];
    let at = 0;
    const text = function (from, len) {
      let s = '';
      for (let i = from; i < from + len && bytes[i]; ++i) s += String.fromCharCode(bytes[i]);
      return s;
    };
    while (at + 512 <= bytes.length && bytes[at]) {
      const name = text(at, 100).replace(/\/$/, ''), type = text(at + 156, 1) || '0';
      const size = parseInt(text(at + 124, 12).trim() || '0', 8);
      if (!(size >= 0) || at + 512 + size > bytes.length) return 'the archive ends inside ' + name;
      if (!name || name.startsWith('/') || name.split('/').includes('..'))
        return 'the archive names a file outside the save folder: ' + name;
      if (type === '5') files.push({ name: name, dir: true });
      else if (type === '0') files.push({ name: name, data: bytes.slice(at + 512, at + 512 + size) });
      else return 'the archive holds something that is not a file: ' + name;
      at += 512 + Math.ceil(size / 512) * 512;
    }
    if (!files.some(function (f) { return ['L1chr.dat', 'Save.dat', 'Savef.dat'].includes(f.name); }))
      return 'it holds no saved game (no L1chr.dat, Save.dat or Savef.dat)';
    return files;
  }
  page.loadArchive = function (bytes, done) {
    const files = readArchive(bytes);
    if (typeof files === 'string') { report('That file cannot be loaded: ' + files + '.'); return; }
    accepting = false;
    queue.length = 0;
    const old = [];
    walk(saveDir, function (path, st) { old.push([path, FS.isDir(st.mode)]); });
    // (no destructuring here: Emscripten's JS optimizer mangles it in a for-of)
    for (const entry of old) { if (entry[1]) FS.rmdir(entry[0]); else FS.unlink(entry[0]); }
    for (const f of files) {
      const path = saveDir + '/' + f.name;
      const parts = f.name.split('/');
      for (let i = 1; i < parts.length; ++i) {
        const d = saveDir + '/' + parts.slice(0, i).join('/');
        if (!FS.analyzePath(d).exists) FS.mkdir(d);
      }
      if (f.dir) { if (!FS.analyzePath(path).exists) FS.mkdir(path); } else FS.writeFile(path, f.data);
    }
    busy = true;
    FS.syncfs(false, function (err) {
      busy = false;
      if (err) report('The loaded game could not be kept in the browser: ' + err);
      done();
    });
  };
})();
