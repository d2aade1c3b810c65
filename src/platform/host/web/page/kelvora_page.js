// The page's half of the browser host (the C++ half is web_host.cpp): the game's windows as frames
// on a desktop of the page's own, their pixels on canvases, the player's presses, keys and typing
// queued for the game to take, clips on Web Audio, and the program folder kept in IndexedDB
// (KelvoraStore). Also the page around the game: start, the offer to start again, the honour file
// downloaded and loaded, and the service worker that lets the page start offline.
'use strict';

var KelvoraPage = (function () {
  // The frame the page draws round every window, in game pixels (kelvora.css draws it).
  var frame = { left: 3, top: 26, right: 3, bottom: 3 };
  // The main window's client area: the scale is chosen so that it fits the screen.
  var mainClient = { width: 523, height: 390 };
  // The game's event kinds (HostEventKind), and the page's own message of a pasted text.
  var kinds = { mouseDown: 0, mouseUp: 1, mouseMove: 2, keyDown: 3, textInput: 4, textEditing: 5,
                closeRequest: 6, quit: 7, exposed: 8 };
  // The page's own message, before the Ctrl+V it comes with: the pasted text, the game's clipboard now.
  var pastedText = -1;

  var desktop = null;
  var typing = null;
  var windows = new Map();  // id -> { element, canvas, context, parent, x, y, width, height, title }
  var order = [];           // shown windows, the topmost last
  var nextId = 1;
  var scale = 1;            // device pixels per game pixel
  var unit = 1;             // CSS pixels per game pixel
  var screen = [1024, 768]; // the desktop in game pixels
  var pointer = [0, 0];
  var queue = [];
  var waiter = null;
  var textWindow = 0;
  var composing = false;
  var audio = null;
  var clips = new Map();
  var heldKeys = new Set();

  function post(event) {
    queue.push(event);
    if (waiter) {
      var wake = waiter;
      waiter = null;
      wake();
    }
  }

  // --- Scale: the largest whole multiple of the game's pixels that fits, counted in device pixels.
  function layOut() {
    var ratio = window.devicePixelRatio || 1;
    var deviceWidth = window.innerWidth * ratio;
    var deviceHeight = window.innerHeight * ratio;
    var outerWidth = mainClient.width + frame.left + frame.right;
    var outerHeight = mainClient.height + frame.top + frame.bottom;
    var fits = Math.min(deviceWidth / outerWidth, deviceHeight / outerHeight);
    scale = fits >= 1 ? Math.floor(fits) : fits;
    unit = scale / ratio;
    var oldScreen = screen;
    screen = [Math.max(Math.floor(deviceWidth / scale), outerWidth), Math.max(Math.floor(deviceHeight / scale), outerHeight)];
    if (desktop) {
      desktop.style.width = screen[0] + 'px';
      desktop.style.height = screen[1] + 'px';
      desktop.style.transform = 'scale(' + unit + ')';
      desktop.classList.toggle('smooth', scale < 1);
      // The windows keep their places on the desktop relative to its centre.
      var dx = Math.round((screen[0] - oldScreen[0]) / 2);
      var dy = Math.round((screen[1] - oldScreen[1]) / 2);
      if (dx || dy) windows.forEach(function (w, id) { moveWindow(id, w.x + dx, w.y + dy); });
    }
  }

  function onDesktop(clientX, clientY) {
    var box = desktop.getBoundingClientRect();
    return [Math.floor((clientX - box.left) / unit), Math.floor((clientY - box.top) / unit)];
  }

  function modifiers(e) {
    return (e.ctrlKey || e.metaKey ? 1 : 0) | (e.shiftKey ? 2 : 0) | (e.altKey ? 4 : 0);
  }

  // Only the topmost window takes input: a window opened over the main window holds it, as the
  // desktop's modal windows do.
  function takesInput(id) {
    return order.length > 0 && order[order.length - 1] === id;
  }

  function markActive() {
    windows.forEach(function (w, id) { w.element.classList.toggle('inactive', !takesInput(id)); });
  }

  // --- The player's pointer: mouse, pen and touch alike; a tap is a press where it lands.
  function pointerEvent(id, w, e, kind) {
    var box = w.canvas.getBoundingClientRect();
    var x = Math.floor((e.clientX - box.left) * w.width / box.width);
    var y = Math.floor((e.clientY - box.top) * w.height / box.height);
    pointer = onDesktop(e.clientX, e.clientY);
    post({ kind: kind, window: id, x: x, y: y, screenX: pointer[0], screenY: pointer[1],
           button: e.button < 0 ? 0 : e.button, modifiers: modifiers(e) });
  }

  function listenToCanvas(id, w) {
    var canvas = w.canvas;
    canvas.addEventListener('pointerdown', function (e) {
      resumeAudio();
      if (!takesInput(id)) return;
      e.preventDefault();
      canvas.setPointerCapture(e.pointerId);
      // A touch has no pointer hovering before it: the game sees it arrive, then press.
      if (e.pointerType !== 'mouse') pointerEvent(id, w, e, kinds.mouseMove);
      pointerEvent(id, w, e, kinds.mouseDown);
      if (typing && textWindow === id) typing.focus({ preventScroll: true });
    });
    canvas.addEventListener('pointermove', function (e) {
      if (!takesInput(id) && !canvas.hasPointerCapture(e.pointerId)) return;
      pointerEvent(id, w, e, kinds.mouseMove);
    });
    canvas.addEventListener('pointerup', function (e) {
      if (!takesInput(id) && !canvas.hasPointerCapture(e.pointerId)) return;
      pointerEvent(id, w, e, kinds.mouseUp);
    });
    canvas.addEventListener('pointercancel', function (e) {
      if (canvas.hasPointerCapture(e.pointerId)) pointerEvent(id, w, e, kinds.mouseUp);
    });
    canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  }

  // The title bar moves its window; its close box asks the game to close it.
  function listenToTitle(id, w, title, close) {
    var drag = null;
    title.addEventListener('pointerdown', function (e) {
      resumeAudio();
      if (!takesInput(id) || e.target === close) return;
      e.preventDefault();
      title.setPointerCapture(e.pointerId);
      drag = { from: onDesktop(e.clientX, e.clientY), corner: [w.x, w.y] };
    });
    title.addEventListener('pointermove', function (e) {
      if (!drag) return;
      var at = onDesktop(e.clientX, e.clientY);
      moveWindow(id, drag.corner[0] + at[0] - drag.from[0], drag.corner[1] + at[1] - drag.from[1]);
    });
    var stop = function () { drag = null; };
    title.addEventListener('pointerup', stop);
    title.addEventListener('pointercancel', stop);
    close.addEventListener('click', function () {
      if (takesInput(id)) post({ kind: kinds.closeRequest, window: id });
    });
  }

  function openWindow(caption, width, height, x, y, parent) {
    var id = nextId++;
    var element = document.createElement('div');
    element.className = 'window';
    element.hidden = true;
    var title = document.createElement('div');
    title.className = 'title';
    var text = document.createElement('span');
    text.textContent = caption;
    var close = document.createElement('button');
    close.type = 'button';
    close.textContent = '\u00d7';
    close.setAttribute('aria-label', '关闭');
    title.appendChild(text);
    title.appendChild(close);
    var canvas = document.createElement('canvas');
    element.appendChild(title);
    element.appendChild(canvas);
    desktop.appendChild(element);
    var w = { element: element, canvas: canvas, context: null, parent: parent, x: x, y: y, width: 0, height: 0,
              title: text };
    windows.set(id, w);
    resizeWindow(id, width, height);
    moveWindow(id, x, y);
    listenToCanvas(id, w);
    listenToTitle(id, w, title, close);
    if (id === 1) document.title = caption;
    return id;
  }

  function showWindow(id) {
    var w = windows.get(id);
    if (!w) return;
    w.element.hidden = false;
    order = order.filter(function (other) { return other !== id; });
    order.push(id);
    w.element.style.zIndex = String(order.length);
    markActive();
  }

  function closeWindow(id) {
    var w = windows.get(id);
    if (!w) return;
    w.element.remove();
    windows.delete(id);
    order = order.filter(function (other) { return other !== id; });
    if (textWindow === id) stopTextInput();
    markActive();
  }

  function moveWindow(id, x, y) {
    var w = windows.get(id);
    if (!w) return;
    w.x = x;
    w.y = y;
    w.element.style.left = x + 'px';
    w.element.style.top = y + 'px';
  }

  function resizeWindow(id, width, height) {
    var w = windows.get(id);
    if (!w) return;
    w.width = width;
    w.height = height;
    w.canvas.width = width;
    w.canvas.height = height;
    w.canvas.style.width = width + 'px';
    w.canvas.style.height = height + 'px';
    w.element.style.width = (width + frame.left + frame.right) + 'px';
    // A canvas drawn apart from the page's other drawing: its small updates (the scroller's, ten a
    // second) then cost the browser a fraction of the work of a whole page frame.
    w.context = w.canvas.getContext('2d', { alpha: false, desynchronized: true });
  }

  // The area's pixels, RGBA row after row, as the program's memory holds them.
  function present(id, rgba, left, top, width, height) {
    var w = windows.get(id);
    if (!w || !w.context) return;
    w.context.putImageData(new ImageData(rgba, width, height), left, top);
  }

  // --- Keys and typing.
  // Keys the game acts on: the browser must not act on them too (scroll, leave the page's focus).
  var gameKeys = new Set(['Escape', 'Enter', 'Tab', 'Backspace', 'Delete', 'ArrowLeft', 'ArrowRight', 'ArrowUp',
                          'ArrowDown', 'Home', 'End', ' ', 'F2']);

  function focusedWindow() { return order.length ? order[order.length - 1] : 0; }

  function onKeyDown(e) {
    resumeAudio();
    // An input method's keys belong to the composition.
    if (e.isComposing || e.keyCode === 229) return;
    var id = focusedWindow();
    if (!id) return;
    var ctrl = e.ctrlKey || e.metaKey;
    // The pasted text comes with the paste event that follows, and only then the key.
    if (ctrl && e.code === 'KeyV') return;
    var repeat = e.repeat || heldKeys.has(e.code);
    heldKeys.add(e.code);
    var letter = ctrl && (e.code === 'KeyA' || e.code === 'KeyC' || e.code === 'KeyX');
    // A space typed into the name box is text as well as a key.
    if ((gameKeys.has(e.key) && !(textWindow && e.key === ' ')) || letter) e.preventDefault();
    // Printable keys reach the game as typed text, through the text field, when it takes text.
    post({ kind: kinds.keyDown, window: id, text: e.key + '\n' + e.code, repeat: repeat, modifiers: modifiers(e) });
  }

  function onPaste(e) {
    var id = focusedWindow();
    if (!id) return;
    e.preventDefault();
    var text = e.clipboardData ? e.clipboardData.getData('text/plain') : '';
    post({ kind: pastedText, text: text });
    post({ kind: kinds.keyDown, window: id, text: 'v\nKeyV', modifiers: 1 });
  }

  function listenToTyping() {
    typing.addEventListener('compositionstart', function () { composing = true; });
    typing.addEventListener('compositionupdate', function (e) {
      if (textWindow) post({ kind: kinds.textEditing, window: textWindow, text: e.data || '', cursor: (e.data || '').length });
    });
    typing.addEventListener('compositionend', function (e) {
      composing = false;
      if (!textWindow) return;
      post({ kind: kinds.textEditing, window: textWindow, text: '' });
      if (e.data) post({ kind: kinds.textInput, window: textWindow, text: e.data });
      typing.value = '';
    });
    typing.addEventListener('input', function (e) {
      if (composing || e.isComposing) return;
      if (textWindow && e.data && (e.inputType === 'insertText' || e.inputType === 'insertReplacementText')) {
        post({ kind: kinds.textInput, window: textWindow, text: e.data });
      }
      typing.value = '';
    });
  }

  function startTextInput(id, left, top, width, height) {
    var w = windows.get(id);
    if (!w) return;
    textWindow = id;
    typing.style.left = (w.x + frame.left + left) + 'px';
    typing.style.top = (w.y + frame.top + top) + 'px';
    typing.style.height = Math.max(height, 1) + 'px';
    if (document.activeElement !== typing) typing.focus({ preventScroll: true });
  }

  function stopTextInput() {
    textWindow = 0;
    composing = false;
    typing.value = '';
    if (document.activeElement === typing) typing.blur();
  }

  // --- Sound: the browser lets a page sound only after the player has pressed or typed.
  // Making the audio context takes the browser a long moment (a fifth of a second here): it is made
  // once the first frame is shown, still silent, so the first press only lets it sound.
  function makeAudio() {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (audio || !Context) return;
    try {
      audio = new Context();
    } catch (error) {
      audio = null;
    }
  }

  function resumeAudio() {
    makeAudio();
    if (audio && audio.state !== 'running') audio.resume().catch(function () {});
  }

  // A clip asked for before the player's first press is dropped, never played late in a burst.
  // Each clip's samples are made once; the game names a clip by a hash of its bytes.
  function playClip(bytes, channels, bits, rate, hash) {
    if (!audio || audio.state !== 'running') return;
    var key = [bytes.length, channels, bits, rate, hash].join(':');
    var buffer = clips.get(key);
    if (!buffer) {
      var size = bits === 16 ? 2 : 1;
      var frames = Math.floor(bytes.length / (size * channels));
      if (frames === 0) return;
      buffer = audio.createBuffer(channels, frames, rate);
      var wide = size === 2 ? new Int16Array(bytes.slice(0, frames * channels * 2).buffer) : null;
      for (var c = 0; c < channels; c++) {
        var samples = buffer.getChannelData(c);
        for (var f = 0; f < frames; f++) {
          var at = f * channels + c;
          samples[f] = wide ? wide[at] / 32768 : (bytes[at] - 128) / 128;
        }
      }
      clips.set(key, buffer);
    }
    KelvoraPage.clipsStarted++;
    var source = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    source.start();
  }

  function copyText(text) {
    if (navigator.clipboard && navigator.clipboard.writeText) navigator.clipboard.writeText(text).catch(function () {});
  }

  // The game's icon (0x00BBGGRR, one colour see-through) as the page's own; made once the browser
  // has a moment, not while the first frame waits.
  function setIcon(pixels, width, height, transparent) {
    pixels = pixels.slice();
    setTimeout(function () { showIcon(pixels, width, height, transparent); }, 1000);
  }

  function showIcon(pixels, width, height, transparent) {
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    var context = canvas.getContext('2d');
    var image = context.createImageData(width, height);
    var to = new Uint32Array(image.data.buffer);
    for (var i = 0; i < width * height; i++) to[i] = pixels[i] === transparent ? 0 : (pixels[i] | 0xff000000);
    context.putImageData(image, 0, 0);
    var link = document.querySelector('link[rel="icon"]');
    if (link) link.href = canvas.toDataURL('image/png');
  }

  function waitForEvent(timeoutMs) {
    if (queue.length) return Promise.resolve();
    return new Promise(function (resolve) {
      var timer = timeoutMs >= 0 ? setTimeout(function () { waiter = null; resolve(); }, timeoutMs) : 0;
      waiter = function () {
        clearTimeout(timer);
        resolve();
      };
    });
  }

  function takeEvent() { return queue.shift(); }

  function started() {
    KelvoraPage.firstFrameMs = performance.now();
    performance.mark('kelvora-first-frame');
    setTimeout(makeAudio, 0);
    document.documentElement.setAttribute('data-kelvora', 'running');
  }

  function ended(code) {
    document.documentElement.setAttribute('data-kelvora', 'ended');
    document.getElementById('ended').hidden = false;
  }

  function setUp() {
    desktop = document.getElementById('desktop');
    typing = document.getElementById('typing');
    layOut();
    window.addEventListener('resize', layOut);
    document.addEventListener('keydown', onKeyDown, true);
    document.addEventListener('keyup', function (e) { heldKeys.delete(e.code); }, true);
    window.addEventListener('blur', function () { heldKeys.clear(); });
    document.addEventListener('paste', onPaste);
    desktop.addEventListener('pointerdown', resumeAudio);
    listenToTyping();
    document.getElementById('restart').addEventListener('click', function () { location.reload(); });
  }

  return {
    frame: frame, kinds: kinds, firstFrameMs: 0, clipsStarted: 0,
    get pointer() { return pointer; },
    setUp: setUp, screenSize: function () { return screen; }, scale: function () { return scale; },
    openWindow: openWindow, showWindow: showWindow, closeWindow: closeWindow, moveWindow: moveWindow,
    resizeWindow: resizeWindow,
    windowPosition: function (id) { var w = windows.get(id); return w ? [w.x, w.y] : [0, 0]; },
    present: present, takeEvent: takeEvent, waitForEvent: waitForEvent,
    startTextInput: startTextInput, stopTextInput: stopTextInput,
    playClip: playClip, copyText: copyText, setIcon: setIcon,
    started: started, ended: ended,
    audioState: function () { return audio ? audio.state : 'none'; },
  };
})();

// The program folder, kept in IndexedDB: brought in whole before the game starts, a file stored
// as soon as the game has written it, and brought in again under the lock every tab takes before
// the game updates a file, so that two tabs finishing games both keep their entries.
var KelvoraStore = (function () {
  var folder = '/kelvora';
  var db = null;
  var release = null;

  function request(r) {
    return new Promise(function (resolve, reject) {
      r.onsuccess = function () { resolve(r.result); };
      r.onerror = function () { reject(r.error); };
    });
  }

  function done(transaction) {
    return new Promise(function (resolve, reject) {
      transaction.oncomplete = function () { resolve(); };
      transaction.onerror = transaction.onabort = function () { reject(transaction.error); };
    });
  }

  function refused(error) {
    db = null;
    console.warn('Kelvora: the browser keeps no storage for this page (' + (error && error.name || error) +
                 '); the honour roll lasts for this session only.');
  }

  function same(a, b) {
    if (a.length !== b.length) return false;
    for (var i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
    return true;
  }

  // Every stored file into the folder in memory, where it differs.
  async function bringIn() {
    if (!db) return;
    var transaction = db.transaction('files', 'readonly');
    var files = transaction.objectStore('files');
    var names = await request(files.getAllKeys());
    var contents = await request(files.getAll());
    for (var i = 0; i < names.length; i++) {
      var path = folder + '/' + names[i];
      var bytes = new Uint8Array(contents[i]);
      var current = null;
      try { current = FS.readFile(path); } catch (error) { current = null; }
      if (!current || !same(current, bytes)) FS.writeFile(path, bytes);
    }
  }

  // The database is asked for as soon as the page loads, while the program is still on its way.
  var connecting = new Promise(function (resolve, reject) {
    if (!window.indexedDB) throw new Error('no IndexedDB');
    var opening = indexedDB.open('kelvora', 1);
    opening.onupgradeneeded = function () { opening.result.createObjectStore('files'); };
    request(opening).then(resolve, reject);
  });
  connecting.catch(function () {});

  async function open() {
    FS.mkdirTree(folder);
    try {
      db = await connecting;
      await bringIn();
      // Asked, not required: where the browser agrees, the roll is not cleared to make room.
      if (navigator.storage && navigator.storage.persist) navigator.storage.persist().catch(function () {});
    } catch (error) {
      refused(error);
    }
  }

  // Only the folder's own files are kept: not the lock, nor a replacement on its way.
  function storedName(path) {
    if (path.indexOf(folder + '/') !== 0) return null;
    var name = path.slice(folder.length + 1);
    if (!name || name.indexOf('/') >= 0 || /\.(lock|new)$/.test(name)) return null;
    return name;
  }

  async function storeFile(path) {
    var name = storedName(path);
    if (!db || name === null) return;
    try {
      var transaction = db.transaction('files', 'readwrite');
      transaction.objectStore('files').put(FS.readFile(path), name);
      await done(transaction);
    } catch (error) {
      refused(error);
    }
  }

  // The lock every tab takes before it updates a file; false when it was not had in time.
  async function beginUpdate(waitMs) {
    if (navigator.locks) {
      var controller = new AbortController();
      var timer = setTimeout(function () { controller.abort(); }, waitMs);
      try {
        await new Promise(function (granted, notGranted) {
          navigator.locks.request('kelvora-files', { signal: controller.signal }, function () {
            clearTimeout(timer);
            granted();
            return new Promise(function (letGo) { release = letGo; });
          }).catch(notGranted);
        });
      } catch (error) {
        return 0;
      }
    }
    try {
      await bringIn();
    } catch (error) {
      refused(error);
    }
    return 1;
  }

  async function endUpdate() {
    if (release) {
      release();
      release = null;
    }
  }

  // The honour file as a download, exactly the bytes the game keeps.
  function download(name) {
    var bytes;
    try { bytes = FS.readFile(folder + '/' + name); } catch (error) { return false; }
    var link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
    return true;
  }

  // A file from the player's disk takes the stored one's place; the game reads it as it starts.
  async function load(name, bytes) {
    var held = await beginUpdate(5000);
    try {
      FS.writeFile(folder + '/' + name, bytes);
      await storeFile(folder + '/' + name);
    } finally {
      if (held) await endUpdate();
    }
  }

  return { folder: folder, kept: function () { return db !== null; }, open: open, storeFile: storeFile,
           beginUpdate: beginUpdate, endUpdate: endUpdate, download: download, load: load };
})();

// The honour file's name as the game writes it.
var kelvoraHonourFile = 'Kelvora\u8363\u8a89\u699c.ini';

// The game's first captions are drawn in the page's faces: they are loaded, from the page's start
// on, before the game starts.
var kelvoraFonts = document.fonts ? Promise.all(['16px "宋体"', 'bold 16px "宋体"', '16px "黑体"', 'bold 16px "黑体"',
  '16px "MS Serif"'].map(function (face) {
  return document.fonts.load(face, '\u8363\u8a89Kelvora').catch(function () {});
})) : Promise.resolve();

var Module = {
  kelvoraProgramFolder: KelvoraStore.folder,
  preRun: [function () {
    KelvoraPage.setUp();
    addRunDependency('kelvora-start');
    // Marks for the measurements (bench/web/measure_web.sh): where the time to the first frame goes.
    performance.mark('kelvora-run');
    kelvoraFonts.then(function () { performance.mark('kelvora-fonts'); });
    Promise.all([kelvoraFonts, KelvoraStore.open().then(function () { performance.mark('kelvora-storage'); })])
      .then(function () { removeRunDependency('kelvora-start'); });
  }],
  print: function (text) { console.log(text); },
  printErr: function (text) { console.error(text); },
};

document.getElementById('download-roll').addEventListener('click', function () {
  KelvoraStore.download(kelvoraHonourFile);
});
document.getElementById('roll-file').addEventListener('change', function (e) {
  var file = e.target.files && e.target.files[0];
  if (!file) return;
  file.arrayBuffer().then(function (buffer) {
    return KelvoraStore.load(kelvoraHonourFile, new Uint8Array(buffer));
  }).then(function () { location.reload(); });
});

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  window.addEventListener('load', function () {
    navigator.serviceWorker.register('sw.js').catch(function (error) {
      console.warn('Kelvora: the page will not start offline (' + error + ')');
    });
  });
}
