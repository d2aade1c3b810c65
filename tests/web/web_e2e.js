// The browser game end to end in Debian's Chromium, checked from the page's pixels and storage:
// the client area at scale 1 and a whole-number scale at 2 device pixels per CSS pixel; the grid,
// checkerboard and five balls exact to the pixel (tests/e2e_wine/check_board.py reads them); three
// preview balls; a select and a move by the mouse, and by touch, giving eight balls; the honour-roll
// window opening centred and closing with Esc; the default honour file in storage; a roll loaded
// from disk; two tabs each finishing a game onto the roll, one name typed through an input method,
// both kept in GBK; the file downloaded as it is kept; the file surviving a reload and a new
// browser on the same profile; the page installable and starting again with its server gone; a
// playable game where the browser refuses storage.
// Usage: node web_e2e.js SITE-DIR SPRITE-SHEET.ppm WORK-DIR
'use strict';
const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const { chromium } = require('playwright-core');

const [site, sheet, work] = process.argv.slice(2);
const checkBoard = path.join(__dirname, '..', 'e2e_wine', 'check_board.py');
const CLIENT = { width: 523, height: 390 };
const BOARD = { left: 8, top: 8 };
const HONOUR_FILE = 'Kelvora\u8363\u8a89\u699c.ini';
const DEFAULT_ROLL = [870, 640, 500, 320, 210, 170, 135, 100, 55, 20]
  .map((score) => String(score).padStart(7, '0') + 'Tovenhal\r\n').join('');

function fail(message) { throw new Error(message); }
function step(message) { console.log('-- ' + message); }
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// --- A static server on 127.0.0.1 that can be taken away.
function serve(root) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
                  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
  const sockets = new Set();
  const server = http.createServer((request, response) => {
    let name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(root, path.normalize(name));
    fs.readFile(file, (error, data) => {
      if (error || !file.startsWith(root)) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  server.on('connection', (socket) => { sockets.add(socket); socket.on('close', () => sockets.delete(socket)); });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    url: 'http://127.0.0.1:' + server.address().port + '/',
    close: () => new Promise((done) => { sockets.forEach((s) => s.destroy()); server.close(done); }),
  })));
}

// --- Screenshots: PNG decoded here, the client area written as the PPM check_board.py reads.
function decodePng(buffer) {
  let at = 8;
  let width = 0, height = 0, channels = 0;
  const data = [];
  while (at < buffer.length) {
    const length = buffer.readUInt32BE(at);
    const type = buffer.toString('latin1', at + 4, at + 8);
    const body = buffer.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) fail('unexpected PNG form');
      channels = { 2: 3, 6: 4 }[body[9]] || fail('unexpected PNG colour type ' + body[9]);
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      let value = line[x];
      if (filter === 1) value += a;
      else if (filter === 2) value += b;
      else if (filter === 3) value += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        value += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      pixels[y * stride + x] = value & 255;
    }
  }
  return { width, height, at: (x, y) => { const i = y * stride + x * channels; return [pixels[i], pixels[i + 1], pixels[i + 2]]; } };
}

// The main window's client area as the player sees it, one game pixel each: the centre of every
// scale x scale block of device pixels.
async function clientPixels(page, name) {
  const box = await canvasBox(page, 0);
  const ratio = await page.evaluate(() => window.devicePixelRatio);
  const shot = decodePng(await page.screenshot({ path: path.join(work, name + '.png') }));
  const scale = (box.width * ratio) / CLIENT.width;
  const left = box.x * ratio, top = box.y * ratio;
  return { scale, at: (x, y) => shot.at(Math.floor(left + (x + 0.5) * scale), Math.floor(top + (y + 0.5) * scale)) };
}

function writePpm(file, client) {
  const header = Buffer.from(`P6\n${CLIENT.width} ${CLIENT.height}\n255\n`);
  const body = Buffer.alloc(CLIENT.width * CLIENT.height * 3);
  for (let y = 0; y < CLIENT.height; y++) {
    for (let x = 0; x < CLIENT.width; x++) body.set(client.at(x, y), (y * CLIENT.width + x) * 3);
  }
  fs.writeFileSync(file, Buffer.concat([header, body]));
}

// The board read off the screen and checked pixel for pixel; 81 digits, 1 for a ball.
async function checkedBoard(page, name) {
  const client = await clientPixels(page, name);
  const ppm = path.join(work, name + '.ppm');
  writePpm(ppm, client);
  const run = childProcess.spawnSync('python3', [checkBoard, ppm, sheet, String(BOARD.left), String(BOARD.top)],
                                     { encoding: 'utf8' });
  if (run.status !== 0) fail(`${name}: the board is not exact: ${run.stdout}${run.stderr}`);
  return { cells: run.stdout.trim(), client };
}

const balls = (cells) => [...cells].filter((c) => c === '1').length;

function previewBalls(client) {
  let count = 0;
  for (let slot = 0; slot < 3; slot++) {
    const [r, g, b] = client.at(388 + slot * 40 + 20, 104 + 20);
    if (r || g || b) count++;
  }
  return count;
}

// A ball with a free cell beside it, as "from to" cell numbers (1-81).
function freeNeighbourMove(cells) {
  for (let n = 1; n <= 81; n++) {
    if (cells[n - 1] !== '1') continue;
    const column = (n - 1) % 9;
    for (const m of [n - 1, n + 1, n - 9, n + 9]) {
      if (m < 1 || m > 81 || (m === n - 1 && column === 0) || (m === n + 1 && column === 8)) continue;
      if (cells[m - 1] === '0') return [n, m];
    }
  }
  return null;
}

// --- The page's windows.
async function windowTitles(page) {
  return page.$$eval('.window:not([hidden]) .title span', (spans) => spans.map((s) => s.textContent));
}

async function waitForWindow(page, title, timeout = 15000) {
  await page.waitForFunction((t) => [...document.querySelectorAll('.window:not([hidden]) .title span')]
    .some((s) => s.textContent === t), title, { timeout }).catch(() => fail(`no window "${title}"`));
}

async function canvasBox(page, index) {
  const box = await page.locator('.window canvas').nth(index).boundingBox();
  return box || fail('no canvas');
}

async function cellPoint(page, cell) {
  const box = await canvasBox(page, 0);
  const unit = box.width / CLIENT.width;
  return { x: box.x + (BOARD.left + ((cell - 1) % 9) * 40 + 20) * unit,
           y: box.y + (BOARD.top + Math.floor((cell - 1) / 9) * 40 + 20) * unit };
}

async function pressCell(page, cell, touch) {
  const at = await cellPoint(page, cell);
  if (touch) await page.touchscreen.tap(at.x, at.y);
  else await page.mouse.click(at.x, at.y);
}

// Each cell as 1 or 0 from its middle pixel on the main window's canvas: quick enough to follow a
// whole game.
async function cellsNow(page) {
  return page.evaluate(() => {
    const canvas = document.querySelector('.window canvas');
    const pixels = canvas.getContext('2d').getImageData(8, 8, 360, 360).data;
    let cells = '';
    for (let n = 1; n <= 81; n++) {
      const i = ((Math.floor((n - 1) / 9) * 40 + 20) * 360 + ((n - 1) % 9) * 40 + 20) * 4;
      const background = n % 2 ? [33, 32, 33] : [0, 0, 0];
      cells += pixels[i] === background[0] && pixels[i + 1] === background[1] && pixels[i + 2] === background[2] ? '0' : '1';
    }
    return cells;
  });
}

// One turn: the ball to the free cell beside it; over when the board has changed and stays so.
async function moveOnce(page, cells, touch) {
  const move = freeNeighbourMove(cells);
  if (!move) fail('no ball with a free neighbour');
  await pressCell(page, move[0], touch);
  await pressCell(page, move[1], touch);
  for (let k = 0; k < 100; k++) {
    await sleep(150);
    const titles = await windowTitles(page);
    if (titles.length > 1) return { move, cells: null };
    const now = await cellsNow(page);
    if (now !== cells) {
      await sleep(150);
      if ((await cellsNow(page)) === now) return { move, cells: now };
    }
  }
  fail(`the move ${move[0]} -> ${move[1]} changed nothing`);
}

async function playToTheEnd(page) {
  await page.bringToFront();
  let cells = await cellsNow(page);
  for (let moves = 1; moves <= 200; moves++) {
    const turn = await moveOnce(page, cells, false);
    if (!turn.cells) {
      await waitForWindow(page, '\u606d\u559c\u60a8\uff01');  // the name entry
      return moves;
    }
    cells = turn.cells;
  }
  fail('no end of the game after 200 moves');
}

async function storedHonourFile(page) {
  return page.evaluate((name) => new Promise((resolve, reject) => {
    const opening = indexedDB.open('kelvora', 1);
    opening.onerror = () => reject(opening.error);
    opening.onsuccess = () => {
      const read = opening.result.transaction('files').objectStore('files').get(name);
      read.onsuccess = () => { resolve(read.result ? Array.from(read.result) : null); opening.result.close(); };
      read.onerror = () => reject(read.error);
    };
  }), HONOUR_FILE);
}

async function launch(profile, options = {}) {
  return chromium.launchPersistentContext(profile, {
    executablePath: process.env.KELVORA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 1000, height: 700 },
    ...options,
  });
}

async function open(context, url, page) {
  page = page || context.pages()[0] || await context.newPage();
  page.on('pageerror', (error) => console.log('page error:', error.message));
  page.on('console', (message) => { if (message.type() !== 'log') console.log('console:', message.text()); });
  await page.goto(url);
  await started(page);
  return page;
}

async function started(page) {
  await page.waitForFunction(() => document.documentElement.dataset.kelvora === 'running', null, { timeout: 30000 })
    .catch(() => fail('the game did not start'));
  await sleep(300);
}


async function signTheRoll(page, name, inputMethod) {
  await page.bringToFront();
  await waitForWindow(page, '\u606d\u559c\u60a8\uff01');
  await sleep(300);
  if (inputMethod) {
    const cdp = await page.context().newCDPSession(page);
    await cdp.send('Input.imeSetComposition', { text: name, selectionStart: name.length, selectionEnd: name.length });
    await sleep(200);
    await cdp.send('Input.insertText', { text: name });
  } else {
    await page.keyboard.type(name, { delay: 30 });
  }
  await sleep(200);
  // No window has a default button: Tab to the button, Space presses it.
  await page.keyboard.press('Tab');
  await page.keyboard.press('Space');
  await waitForWindow(page, '\u8363\u8a89\u699c');
  await sleep(300);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.querySelectorAll('.window').length === 1, null, { timeout: 5000 })
    .catch(() => fail('Esc did not close the roll window'));
}

function contains(bytes, part) {
  for (let i = 0; i + part.length <= bytes.length; i++) {
    if (part.every((b, k) => bytes[i + k] === b)) return true;
  }
  return false;
}

async function main() {
  fs.rmSync(work, { recursive: true, force: true });
  fs.mkdirSync(work, { recursive: true });
  const server = await serve(path.resolve(site));
  const profile = path.join(work, 'profile');
  let context = await launch(profile);
  try {
    step('scale 1: the client area, the first board, the preview');
    let page = await open(context, server.url);
    const box = await canvasBox(page, 0);
    const size = await page.$eval('.window canvas', (c) => [c.width, c.height]);
    if (size[0] !== CLIENT.width || size[1] !== CLIENT.height || box.width !== CLIENT.width || box.height !== CLIENT.height) {
      fail(`client area ${size} shown at ${box.width} x ${box.height}, not 523 x 390`);
    }
    const first = await checkedBoard(page, 'start');
    if (balls(first.cells) !== 5) fail(`the first game shows ${balls(first.cells)} balls, not 5`);
    if (previewBalls(first.client) !== 3) fail('the preview does not show three balls');

    step('a select and a move by the mouse');
    const turn = await moveOnce(page, first.cells, false);
    const moved = await checkedBoard(page, 'moved');
    if (moved.cells[turn.move[1] - 1] !== '1') fail(`the ball did not arrive in cell ${turn.move[1]}`);
    if (balls(moved.cells) !== 8) fail(`after the move the board shows ${balls(moved.cells)} balls, not 8`);
    const sound = await page.evaluate(() => [KelvoraPage.audioState(), KelvoraPage.clipsStarted]);
    if (sound[0] !== 'running' || sound[1] < 1) fail(`no clip played after the first presses (audio ${sound})`);

    step('the honour-roll window: opens centred on the main window, Esc closes it');
    const main = await page.locator('.window').nth(0).boundingBox();
    await page.mouse.click(box.x + 392 + 53, box.y + 248 + 14);
    await waitForWindow(page, '\u8363\u8a89\u699c');
    const roll = await page.locator('.window').nth(1).boundingBox();
    const off = [roll.x + roll.width / 2 - (main.x + main.width / 2), roll.y + roll.height / 2 - (main.y + main.height / 2)];
    if (Math.abs(off[0]) > 1 || Math.abs(off[1]) > 1) fail(`the roll window is ${off} off the main window's centre`);
    await page.screenshot({ path: path.join(work, 'roll.png') });
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.querySelectorAll('.window').length === 1, null, { timeout: 5000 })
      .catch(() => fail('Esc did not close the honour-roll window'));

    step('the default honour file, byte for byte, in the page\'s storage');
    const stored = await storedHonourFile(page);
    if (!stored || Buffer.from(stored).toString('latin1') !== DEFAULT_ROLL) fail('the stored honour file is not the default roll');
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download-roll')]);
    const downloaded = fs.readFileSync(await download.path()).toString('latin1');
    if (download.suggestedFilename() !== HONOUR_FILE || downloaded !== DEFAULT_ROLL) fail('the downloaded honour file is not the roll');

    step('a roll of ten empty places loaded from disk');
    await Promise.all([
      page.waitForEvent('load'),
      page.setInputFiles('#roll-file', { name: HONOUR_FILE, mimeType: 'text/plain', buffer: Buffer.from('\r\n'.repeat(10)) }),
    ]);
    await started(page);

    step('two tabs each finish a game onto the roll');
    const second = await open(context, server.url, await context.newPage());
    console.log('first tab:', await playToTheEnd(page), 'moves; second tab:', await playToTheEnd(second), 'moves');
    await signTheRoll(page, '\u5f20\u4e09', true);  // 张三, through an input method
    await signTheRoll(second, 'Li', false);
    const zhangSan = [0xd5, 0xc5, 0xc8, 0xfd];
    let bytes = await storedHonourFile(page);
    if (!bytes || !contains(bytes, zhangSan) || !contains(bytes, Array.from(Buffer.from('Li\r\n')))) {
      fail('the stored roll does not keep both tabs\' entries: ' + Buffer.from(bytes || []).toString('hex'));
    }
    const both = bytes;

    step('the roll survives a reload');
    await page.reload();
    await started(page);
    const afterReload = await page.evaluate((name) => Array.from(FS.readFile('/kelvora/' + name)), HONOUR_FILE);
    if (Buffer.compare(Buffer.from(afterReload), Buffer.from(both)) !== 0) fail('after a reload the game reads another roll');
    await page.evaluate(() => navigator.serviceWorker.ready);
    await context.close();

    step('and a new browser on the same profile; then the page starts with its server gone');
    context = await launch(profile);
    page = await open(context, server.url);
    bytes = await page.evaluate((name) => Array.from(FS.readFile('/kelvora/' + name)), HONOUR_FILE);
    if (Buffer.compare(Buffer.from(bytes), Buffer.from(both)) !== 0) fail('a new browser reads another roll');
    await page.evaluate(() => navigator.serviceWorker.ready);
    const installability = await (await context.newCDPSession(page)).send('Page.getInstallabilityErrors');
    if (installability.installabilityErrors.length) fail('not installable: ' + JSON.stringify(installability));
    await server.close();
    await page.reload();
    await started(page);
    await context.close();

    step('storage refused: the game plays, its roll for the session, and the console says so');
    const served = await serve(path.resolve(site));
    context = await launch(path.join(work, 'profile-refused'));
    await context.addInitScript(() => Object.defineProperty(window, 'indexedDB', { value: undefined }));
    const warnings = [];
    context.on('console', (message) => warnings.push(message.text()));
    page = await open(context, served.url);
    const refused = await checkedBoard(page, 'refused');
    if (balls(refused.cells) !== 5) fail('without storage the first game is not shown');
    if (!warnings.some((text) => /keeps no storage/.test(text))) fail('no word in the console of the refused storage');
    const sessionRoll = await page.evaluate((name) => Array.from(FS.readFile('/kelvora/' + name)), HONOUR_FILE);
    if (Buffer.from(sessionRoll).toString('latin1') !== DEFAULT_ROLL) fail('without storage the session has no default roll');
    await context.close();

    step('2 device pixels per CSS pixel: a whole-number scale, the board exact; a tap selects a ball');
    context = await launch(path.join(work, 'profile-hidpi'), { deviceScaleFactor: 2, hasTouch: true });
    page = await open(context, served.url);
    const hidpi = await checkedBoard(page, 'hidpi');
    if (!Number.isInteger(hidpi.client.scale) || hidpi.client.scale < 2) fail(`the scale is ${hidpi.client.scale}`);
    if (balls(hidpi.cells) !== 5) fail(`at scale ${hidpi.client.scale} the board shows ${balls(hidpi.cells)} balls`);
    const tapped = await moveOnce(page, hidpi.cells, true);
    if (balls(tapped.cells) !== 8) fail(`after a move by touch the board shows ${balls(tapped.cells)} balls, not 8`);
    console.log(`scale ${hidpi.client.scale} at 2 device pixels per CSS pixel`);
    await context.close();
    await served.close();
    console.log('PASS');
  } catch (error) {
    console.log('FAIL:', error.message);
    // What each tab showed at the failure, for whoever reads the log.
    for (const [k, page] of context.pages().entries()) {
      await page.screenshot({ path: path.join(work, `failure-${k}.png`) }).catch(() => {});
    }
    await context.close().catch(() => {});
    process.exit(1);
  }
}

main();
