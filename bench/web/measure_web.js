// The browser game's figures in Debian's Chromium, side by side in one run (measure_web.sh builds
// and serves the pages): load to first frame against a bare Emscripten page, cold (a new profile)
// and warm (a reload); the main thread's work of a whole turn beyond its pauses; idle CPU with the
// scroller running. Prints Markdown.
// Usage: node measure_web.js GAME-URL BARE-URL WORK-DIR RUNS IDLE-SECONDS [NAME=GAME-URL ...]
'use strict';
const fs = require('fs');
const path = require('path');
const { chromium } = require('playwright-core');

const [gameUrl, bareUrl, work, runsText, idleText, ...variants] = process.argv.slice(2);
const runs = Number(runsText);
const idleSeconds = Number(idleText);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const median = (values) => { const v = [...values].sort((a, b) => a - b); return v[Math.floor(v.length / 2)]; };
const range = (values) => `${Math.min(...values).toFixed(0)}-${Math.max(...values).toFixed(0)}`;
let profiles = 0;

async function launch() {
  const profile = path.join(work, 'profile-' + profiles++);
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.KELVORA_CHROMIUM || '/usr/bin/chromium', headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 1000, height: 700 },
  });
  return { context, profile, page: context.pages()[0] || await context.newPage() };
}

// Milliseconds from the start of the navigation to the first frame on the canvas.
async function firstFrame(page, url, game) {
  await page.goto(url);
  const mark = game ? 'KelvoraPage.firstFrameMs' : 'window.bareFirstFrameMs';
  await page.waitForFunction(mark, null, { timeout: 60000 });
  return page.evaluate(mark);
}

async function loads() {
  const times = { game: { cold: [], warm: [] }, bare: { cold: [], warm: [] } };
  for (let run = 0; run < runs; run++) {
    for (const [name, url] of [['game', gameUrl], ['bare', bareUrl]]) {
      const { context, page } = await launch();
      times[name].cold.push(await firstFrame(page, url, name === 'game'));
      if (name === 'game') await page.evaluate(() => navigator.serviceWorker.ready);
      await sleep(500);
      times[name].warm.push(await firstFrame(page, url, name === 'game'));
      await context.close();
    }
  }
  return times;
}

// CPU time of every process of the browser whose profile this is, in milliseconds.
function browserCpuMs(profile) {
  const ticks = 100;  // USER_HZ
  const processes = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const command = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      processes.set(pid, { parent: fields[1], cpu: (Number(fields[11]) + Number(fields[12])) * 1000 / ticks,
                           ours: command.includes(profile) });
    } catch (error) { /* gone meanwhile */ }
  }
  const ours = (pid) => { for (let p = pid, k = 0; p && k < 20; p = processes.get(p) && processes.get(p).parent, k++) {
    if (processes.get(p) && processes.get(p).ours) return true; } return false; };
  let total = 0;
  processes.forEach((p, pid) => { if (ours(pid)) total += p.cpu; });
  return total;
}

async function metrics(cdp) {
  const { metrics: list } = await cdp.send('Performance.getMetrics');
  const value = (name) => list.find((m) => m.name === name).value * 1000;
  return { task: value('TaskDuration'), script: value('ScriptDuration') };
}

async function idle(url, game) {
  const { context, page, profile } = await launch();
  await firstFrame(page, url, game);
  await sleep(2000);
  const cdp = await context.newCDPSession(page);
  await cdp.send('Performance.enable');
  const before = await metrics(cdp);
  const cpuBefore = browserCpuMs(profile);
  await sleep(idleSeconds * 1000);
  const after = await metrics(cdp);
  const cpu = browserCpuMs(profile) - cpuBefore;
  await context.close();
  return { mainThread: (after.task - before.task) / (idleSeconds * 10), browser: cpu / (idleSeconds * 10) };
}

// The main thread's work over a window of 1.5 s with a turn in it (a ball to the free cell beside
// it: select, one step, three new balls), less that of as long a window without one.
async function turns(url) {
  const { context, page } = await launch();
  await firstFrame(page, url, true);
  await sleep(1000);
  const cdp = await context.newCDPSession(page);
  await cdp.send('Performance.enable');
  const box = await page.locator('.window canvas').first().boundingBox();
  const withTurn = { task: [], script: [] };
  const without = { task: [], script: [] };
  for (let k = 0; k < runs; k++) {
    const cells = await page.evaluate(() => {
      const pixels = document.querySelector('.window canvas').getContext('2d').getImageData(8, 8, 360, 360).data;
      let out = '';
      for (let n = 1; n <= 81; n++) {
        const i = ((Math.floor((n - 1) / 9) * 40 + 20) * 360 + ((n - 1) % 9) * 40 + 20) * 4;
        out += (n % 2 ? pixels[i] === 33 : pixels[i] === 0) ? '0' : '1';
      }
      return out;
    });
    let move = null;
    for (let n = 1; n <= 81 && !move; n++) {
      if (cells[n - 1] !== '1') continue;
      for (const m of [n + 1, n - 1, n + 9, n - 9]) {
        if (m < 1 || m > 81 || (m === n + 1 && n % 9 === 0) || (m === n - 1 && n % 9 === 1)) continue;
        if (cells[m - 1] === '0') { move = [n, m]; break; }
      }
    }
    if (!move) break;
    const at = (cell) => [box.x + 8 + ((cell - 1) % 9) * 40 + 20, box.y + 8 + Math.floor((cell - 1) / 9) * 40 + 20];
    let before = await metrics(cdp);
    await page.mouse.click(...at(move[0]));
    await page.mouse.click(...at(move[1]));
    await sleep(1500);
    let after = await metrics(cdp);
    withTurn.task.push(after.task - before.task);
    withTurn.script.push(after.script - before.script);
    before = await metrics(cdp);
    await sleep(1500);
    after = await metrics(cdp);
    without.task.push(after.task - before.task);
    without.script.push(after.script - before.script);
    if ((await page.locator('.window').count()) > 1) break;
  }
  await context.close();
  return { task: median(withTurn.task) - median(without.task), script: median(withTurn.script) - median(without.script),
           samples: withTurn.task.length };
}

async function main() {
  fs.mkdirSync(work, { recursive: true });
  const out = [];
  const times = await loads();
  const row = (label, game, bare) => `| ${label} | ${median(game).toFixed(0)} ms (${range(game)}) | ` +
    `${median(bare).toFixed(0)} ms (${range(bare)}) | ${(median(game) / median(bare)).toFixed(2)} x |`;
  out.push(`#### Load to first frame (median and range of ${runs} loads each, in turns)`, '',
           '| | game | bare Emscripten page | game / bare |', '|---|---|---|---|',
           row('cold: a new profile, nothing cached', times.game.cold, times.bare.cold),
           row('warm: a reload of the same page', times.game.warm, times.bare.warm), '');
  const game = await idle(gameUrl, true);
  const bare = await idle(bareUrl, false);
  out.push(`#### Idle CPU over ${idleSeconds} s, share of one core`, '',
           '| | the page\'s main thread | every process of the browser |', '|---|---|---|',
           `| the game, scroller running | ${game.mainThread.toFixed(2)} % | ${game.browser.toFixed(2)} % |`,
           `| bare page | ${bare.mainThread.toFixed(2)} % | ${bare.browser.toFixed(2)} % |`, '');
  out.push(`#### A whole turn beyond its pauses (main thread, median of the turns, less an idle window)`, '',
           '| build | all the main thread\'s work | of which script and WebAssembly | turns |', '|---|---|---|---|');
  for (const [name, url] of [['shipped', gameUrl], ...variants.map((v) => v.split('='))]) {
    const turn = await turns(url);
    out.push(`| ${name} | ${turn.task.toFixed(2)} ms | ${turn.script.toFixed(2)} ms | ${turn.samples} |`);
  }
  console.log(out.join('\n'));
}

main().catch((error) => { console.error(error); process.exit(1); });
