// Drives the page in Debian's chromium, headless, opened from file:// as a user would
// open it: every value it shows against the native tool's report and profile table of
// the same image, an edit saved through the download path against the native tool's
// edit, a refused value, an image of the wrong version, names for every control and
// a way to each by keyboard, and the requests it makes. Then the same page served by
// a static host on loopback.
//
// VORNSET_NATIVE names the native binary, VORNSET_PAGE the built page, SAMPLE the
// sample image.
'use strict';

const { spawnSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const chromium = '/usr/bin/chromium';
const native = process.env.VORNSET_NATIVE;
const pageFolder = process.env.VORNSET_PAGE;
const sample = process.env.SAMPLE;
let puppeteer;
try {
  puppeteer = require('puppeteer-core');
} catch {
  console.log('skipped: puppeteer-core is not installed; run npm ci in tests/web');
  process.exit(77);
}
for (const [file, what] of [[chromium, 'chromium'], [native, 'the native vornset']]) {
  if (!file || !fs.existsSync(file)) {
    console.log(`skipped: ${what} is not at ${file}`);
    process.exit(77);
  }
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vornset-page-'));
let failures = 0;

function expect(condition, what) {
  if (!condition) {
    failures++;
    console.log(`FAIL: ${what}`);
  }
}

function vornset(...args) {
  return spawnSync(native, args, { encoding: 'latin1' }).stdout;
}

// The report's words where they differ from the option values that the form shows.
const optionValueOf = { 'text mode': 'text', bootmanager: 'bt' };
const reportKeys = {
  'Video mode': 'vm', 'Start mode': 'stm', Countdown: 'cnt', 'Countdown value': 'cntval', 'Default boot': 'dbt',
  Profile: 'dprf', Starfield: 'stf', 'Zoom animation': 'zan', Font: 'fnt', 'Force USB 1.1': 'usb1',
  'Use USB MassDev': 'usbmdev', 'Use INT19h': 'int19h', 'Startup hotkey': 'hotkey',
};

async function openPage(browser, requests) {
  const page = await browser.newPage();
  page.on('request', request => requests.push(request.url()));
  page.on('pageerror', error => expect(false, `the page threw ${error.message}`));
  page.on('console', message => expect(false, `the page logged: ${message.text()}`));
  await page.goto(`file://${pageFolder}/index.html`);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}

async function openImage(page, file) {
  const input = await page.$('#image-file');
  await input.uploadFile(file);
  await page.waitForFunction(() => !document.getElementById('editor').hidden
    || !document.getElementById('image-message').hidden);
}

async function valueOf(page, selector) {
  return page.$eval(selector, element => element.value);
}

async function expectTheReport(page) {
  for (const line of vornset(sample).trim().split('\n')) {
    const [label, value] = line.split(/\s*: /);
    const key = reportKeys[label];
    const expected = optionValueOf[value] ?? value.replace(/ seconds$/, '');
    expect(await valueOf(page, `#setting-${key}`) === expected, `${key} shows ${await valueOf(page, `#setting-${key}`)}, the report ${value}`);
  }
  const rows = vornset('show=profiles', sample).trim().split('\n').slice(1);
  const shown = await page.$$eval('#profiles tbody tr', trs => trs.map(tr =>
    [...tr.querySelectorAll('input, select')].map(control => control.value)));
  expect(shown.length === rows.length, `${shown.length} profiles shown`);
  rows.forEach((row, i) => {
    const name = row.slice(4, 20).trimEnd();
    const [drive, partition, logPart] = row.slice(22).trim().split(/\s+/);
    const expected = [name, drive, partition, logPart].join('|');
    expect(shown[i].join('|') === expected, `profile ${i + 1} shows ${shown[i].join('|')}, the table ${expected}`);
  });
}

async function setValue(page, selector, value) {
  await page.$eval(selector, (control, text) => {
    control.value = text;
    control.dispatchEvent(new Event(control.tagName === 'SELECT' ? 'change' : 'input'));
  }, value);
}

async function typeInto(page, selector, text) {
  await page.click(selector, { clickCount: 3 });
  await page.keyboard.press('Backspace');
  await page.type(selector, text);
}

async function expectSavedAsTheToolWrites(page, downloads) {
  await typeInto(page, '#setting-cntval', '25');
  await typeInto(page, '#profiles tbody tr:nth-child(2) input', 'Linux Mint');
  await page.select('#profiles tbody tr:nth-child(2) select', '85h');
  expect(!(await page.$eval('#save', b => b.disabled)), 'Save is enabled after valid changes');
  await page.click('#save');
  const saved = path.join(downloads, path.basename(sample));
  for (let waited = 0; !fs.existsSync(saved) && waited < 200; waited++) await new Promise(r => setTimeout(r, 50));
  expect(fs.existsSync(saved), 'Save downloads the image under its name');

  const edited = path.join(work, 'native.bin');
  fs.copyFileSync(sample, edited);
  const closing = spawnSync(native, ['cntval=25', 'prf=2', 'prfname=Linux Mint', 'btdrv=85h', edited], { encoding: 'latin1' }).stdout;
  expect(fs.existsSync(saved) && fs.readFileSync(saved).equals(fs.readFileSync(edited)),
         'the saved image is byte for byte what the native tool writes');
  const result = await page.$eval('#result', element => element.textContent);
  expect(result === closing, `the closing messages shown are the tool's: ${JSON.stringify(result)}`);
}

async function expectRefusal(page) {
  await typeInto(page, '#setting-cntval', '500');
  const message = await page.$eval('#setting-cntval + .error', element => element.textContent).catch(() => '');
  expect(message === 'Parameter error: cntval, only values 1-99 are valid', `the refusal shown: ${JSON.stringify(message)}`);
  expect(await page.$eval('#save', b => b.disabled), 'Save is disabled while a refusal is shown');
  expect(await page.$eval('#setting-cntval', c => c.getAttribute('aria-invalid')) === 'true', 'the refused field is marked');
  await typeInto(page, '#setting-cntval', '30');
  expect(!(await page.$('#setting-cntval + .error')), 'the refusal goes once the value is mended');
}

// The settings go out as the tool's show=options and show=json print them, and come
// back in through load=.
async function expectSettingsExportedAndLoaded(page, downloads) {
  await page.click('#export');
  const exported = path.join(downloads, `${path.basename(sample, '.bin')}-settings.txt`);
  for (let waited = 0; !fs.existsSync(exported) && waited < 200; waited++) await new Promise(r => setTimeout(r, 50));
  const saved = path.join(downloads, path.basename(sample));
  expect(fs.existsSync(exported) && fs.readFileSync(exported, 'latin1') === vornset('show=options', saved),
         'Export settings gives what show=options prints');
  await page.click('#show-json');
  expect(await page.$eval('#json', e => e.textContent) === vornset('show=json', saved), 'Show JSON shows what show=json prints');
  const settings = path.join(work, 'settings.txt');
  fs.writeFileSync(settings, 'cntval=42\r\nprf=16\r\nprfname=Loaded\r\n');
  await (await page.$('#settings-file')).uploadFile(settings);
  await page.waitForFunction(() => document.getElementById('setting-cntval').value === '42');
  expect(await valueOf(page, '#profiles tbody tr:nth-child(16) input') === 'Loaded', 'a loaded settings file fills the form');
  expect(!(await page.$eval('#save', b => b.disabled)), 'Save is enabled after a settings file is loaded');
}

async function expectWrongVersionRefused(page) {
  const image = Buffer.from(fs.readFileSync(sample));
  image[0x287] = 6;
  const file = path.join(work, 'old.bin');
  fs.writeFileSync(file, image);
  await openImage(page, file);
  const message = await page.$eval('#image-message', element => element.textContent);
  expect(message === vornset(file), `the wrong version shows the tool's three lines: ${JSON.stringify(message)}`);
  expect(await page.$eval('#editor', element => element.hidden), 'nothing is offered to edit');
}

// Every control has a name that a screen reader reads.
async function expectNamedControls(page) {
  const unnamed = [];
  const visit = node => {
    if (['combobox', 'textbox', 'button', 'spinbutton'].includes(node.role) && !node.name?.trim()) unnamed.push(node.role);
    (node.children ?? []).forEach(visit);
  };
  visit(await page.accessibility.snapshot({ interestingOnly: false }));
  expect(unnamed.length === 0, `controls without a name: ${unnamed.join(', ')}`);
}

// TAB reaches the settings, the profiles and the actions, in the order they stand.
async function expectKeyboardReach(page) {
  await page.focus('#image-file');
  const reached = [];
  for (let i = 0; i < 120; i++) {
    await page.keyboard.press('Tab');
    reached.push(await page.evaluate(() => document.activeElement.id || document.activeElement.getAttribute('aria-label')));
  }
  for (const stop of ['setting-vm', 'setting-hotkey', 'set profilename, profile 16', 'export', 'settings-file', 'show-json'])
    expect(reached.includes(stop), `TAB never reaches ${stop}`);
  expect(reached.indexOf('setting-vm') < reached.indexOf('export'), 'TAB reaches the settings before the actions');
}

// The page served by a static host works as from file://, and asks it for its own
// three files alone.
async function expectStaticHostServes(browser) {
  const server = http.createServer((request, response) => {
    const file = path.join(pageFolder, path.basename(new URL(request.url, 'http://x').pathname) || 'index.html');
    const types = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript' };
    if (!fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] }).end(fs.readFileSync(file));
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  const origin = `http://127.0.0.1:${server.address().port}`;
  try {
    const page = await browser.newPage();
    const requests = [];
    page.on('request', request => requests.push(request.url()));
    await page.goto(`${origin}/index.html`);
    await page.waitForSelector('body[data-ready="true"]');
    await openImage(page, sample);
    expect(await valueOf(page, '#setting-vm') === '800x600', 'served by a static host, the page shows the image');
    const others = requests.filter(url => !['index.html', 'style.css', 'vornset.js'].some(f => url === `${origin}/${f}`));
    expect(others.length === 0, `served by a static host, the page requested ${others.join(', ')}`);
  } finally {
    server.close();
  }
}

(async () => {
  const downloads = path.join(work, 'downloads');
  fs.mkdirSync(downloads);
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', `--user-data-dir=${path.join(work, 'profile')}`],
  });
  try {
    const requests = [];
    const page = await openPage(browser, requests);
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    await openImage(page, sample);
    await expectTheReport(page);
    await expectNamedControls(page);
    await expectKeyboardReach(page);
    await expectRefusal(page);
    await expectSavedAsTheToolWrites(page, downloads);
    await expectSettingsExportedAndLoaded(page, downloads);
    await expectWrongVersionRefused(page);
    const own = new Set(['index.html', 'style.css', 'vornset.js'].map(f => `file://${pageFolder}/${f}`));
    const others = requests.filter(url => !own.has(url) && !url.startsWith('blob:'));
    console.log(`requests: ${requests.length}, of which ${others.length} beyond the page's own files`);
    expect(others.length === 0, `the page requested ${others.join(', ')}`);
    await expectStaticHostServes(browser);
  } finally {
    await browser.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(failures ? `${failures} checks failed` : 'the page shows, checks and saves as the tool does');
  process.exit(failures ? 1 : 0);
})().catch(error => {
  console.log(`FAIL: ${error.stack}`);
  process.exit(1);
});
