// Drives the page in Debian's chromium, headless, opened from file:// as a user would
// open it, at a phone's width and a laptop's: no sideways scrolling, every label as
// the core gives it, every value against the native tool's report, what Save will
// write and the command line that writes the same, the byte count of names, refused
// values beside their fields and in the bar, controls of 44 px, folded profiles,
// axe-core's checks, an edit and Save by keyboard alone, Save through the download
// path and through a file handle, and the requests it makes; then the same page
// served by a static host on loopback. With VORNSET_BROWSER=firefox it runs in
// Debian's firefox-esr instead, driven over WebDriver BiDi.
//
// VORNSET_NATIVE names the native binary, VORNSET_PAGE the built page, SAMPLE the
// sample image; where VORNSET_SCREENSHOTS names a folder, the steps at 390 px are
// photographed into it, for a person to look at; where VORNSET_PICTURES is set, the
// README's pictures docs/page-phone.png and docs/page-laptop.png are made anew.
'use strict';

const { spawnSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const chromium = '/usr/bin/chromium';
const firefox = '/usr/bin/firefox-esr';
const native = process.env.VORNSET_NATIVE;
// The browser to run the page in: chromium, or firefox.
const browser = process.env.VORNSET_BROWSER ?? 'chromium';
const pageFolder = process.env.VORNSET_PAGE;
const sample = process.env.SAMPLE;
let puppeteer;
let axeSource;
try {
  puppeteer = require('puppeteer-core');
  axeSource = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
} catch {
  console.log('skipped: puppeteer-core or axe-core is not installed; run npm ci in tests/web');
  process.exit(77);
}
for (const [file, what] of [[chromium, 'chromium'], [native, 'the native vornset']]) {
  if (!file || !fs.existsSync(file)) {
    console.log(`skipped: ${what} is not at ${file}`);
    process.exit(77);
  }
}
const { VornsetCore } = require(path.join(pageFolder, 'vornset.js'));

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'vornset-page-'));
const downloads = path.join(work, 'downloads');
const small = { width: 320, height: 640 };
const phone = { width: 390, height: 844 };
const laptop = { width: 1280, height: 800 };
const screenshots = process.env.VORNSET_SCREENSHOTS;
let failures = 0;
const axeChecks = new Map(); // width: [states axe-core checked, violations found]
let engine = 'chromium';

function expect(condition, what) {
  if (!condition) {
    failures++;
    console.log(`FAIL (${engine}): ${what}`);
  }
}

function vornset(...args) {
  return spawnSync(native, args, { encoding: 'latin1' }).stdout;
}

// The native tool's runs, one after the other, on a copy of the sample named as the
// sample: the image they leave, and what the last one printed.
function nativeRuns(...runs) {
  const folder = path.join(work, 'native');
  fs.rmSync(folder, { recursive: true, force: true });
  fs.mkdirSync(folder);
  const file = path.basename(sample);
  fs.copyFileSync(sample, path.join(folder, file));
  let output = '';
  for (const args of runs) output = spawnSync(native, [...args, file], { cwd: folder, encoding: 'latin1' }).stdout;
  return { image: fs.readFileSync(path.join(folder, file)), output };
}

// The commands, run by sh on a copy of the sample, with the native tool as vornset.
function shellRun(commands) {
  const folder = path.join(work, 'shell');
  fs.rmSync(folder, { recursive: true, force: true });
  fs.mkdirSync(path.join(folder, 'bin'), { recursive: true });
  fs.symlinkSync(native, path.join(folder, 'bin', 'vornset'));
  fs.copyFileSync(sample, path.join(folder, path.basename(sample)));
  spawnSync('sh', ['-c', commands], { cwd: folder, env: { PATH: `${folder}/bin:/usr/bin:/bin` } });
  return fs.readFileSync(path.join(folder, path.basename(sample)));
}

const pause = ms => new Promise(resolve => setTimeout(resolve, ms));

// The report's words where they differ from the option values that the form shows.
const optionValueOf = { 'text mode': 'text', bootmanager: 'bt' };
const reportKeys = {
  'Video mode': 'vm', 'Start mode': 'stm', Countdown: 'cnt', 'Countdown value': 'cntval', 'Default boot': 'dbt',
  Profile: 'dprf', Starfield: 'stf', 'Zoom animation': 'zan', Font: 'fnt', 'Force USB 1.1': 'usb1',
  'Use USB MassDev': 'usbmdev', 'Use INT19h': 'int19h', 'Startup hotkey': 'hotkey',
};

async function openPage(browser, viewport, requests = []) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  page.on('request', request => requests.push(request.url()));
  page.on('pageerror', error => expect(false, `the page threw ${error.message}`));
  page.on('console', message => expect(false, `the page logged: ${message.text()}`));
  await page.goto(`file://${pageFolder}/index.html`);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}

// Chooses a file in the picker; the page says which it opened last.
async function chooseImage(page, file) {
  await page.evaluate(() => delete document.body.dataset.opened);
  await (await page.$('#image-file')).uploadFile(file);
}

async function openImage(page, file) {
  await chooseImage(page, file);
  await page.waitForFunction(name => document.body.dataset.opened === name, {}, path.basename(file));
}

// The pictures of the README, made where VORNSET_PICTURES is set: the page at a
// phone's width and a laptop's, with two changes to save; pngquant, where installed
// (Debian's pngquant), makes each a small PNG of 16 colours.
async function pictureForTheReadme(page, viewport) {
  const file = path.join(__dirname, '..', '..', 'docs', `page-${viewport === phone ? 'phone' : 'laptop'}.png`);
  await page.evaluate(() => [document.activeElement.blur(), scrollTo({ top: 0, behavior: 'instant' })]);
  await pause(100);
  await page.screenshot({ path: file });
  spawnSync('pngquant', ['--force', '--strip', '--speed', '1', '--output', file, '16', file]);
}

async function photograph(page, viewport, step) {
  if (!screenshots || viewport !== phone) return;
  fs.mkdirSync(screenshots, { recursive: true });
  await page.screenshot({ path: path.join(screenshots, `${engine}-${step}.png`) });
}

const valueOf = (page, selector) => page.$eval(selector, element => element.value);
const textOf = (page, selector) => page.$eval(selector, element => element.textContent).catch(() => null);
const linesOf = (page, selector) => page.$$eval(`${selector} li`, items => items.map(item => item.textContent).join('\n'));
const isDisabled = page => page.$eval('#save', button => button.disabled);

// Taps a control, where there is one.
const tap = (page, selector) => page.click(selector).catch(() => expect(false, `nothing to tap at ${selector}`));

async function setValue(page, selector, value) {
  await page.$eval(selector, (control, text) => {
    control.value = text;
    control.dispatchEvent(new Event(control.tagName === 'SELECT' ? 'change' : 'input'));
  }, value);
}

// Opens the folded card of a profile's field at a tap, where it is folded.
const reveal = (page, selector) => page.$eval(selector, field => {
  const fold = field.closest('tr')?.querySelector('.fold');
  if (fold?.offsetHeight && fold.getAttribute('aria-expanded') === 'false') fold.click();
});

// Types over a field's value, as a user who selects it all first.
async function typeInto(page, selector, text) {
  await reveal(page, selector);
  await page.focus(selector);
  await page.$eval(selector, field => field.select());
  await page.keyboard.press('Backspace');
  await page.keyboard.type(text);
}

async function waitForFile(file) {
  for (let waited = 0; !fs.existsSync(file) && waited < 200; waited++) await pause(50);
  await pause(100);
  return fs.existsSync(file) ? fs.readFileSync(file) : null;
}

async function expectFits(page, when) {
  const [scrollWidth, innerWidth] = await page.evaluate(() => [document.documentElement.scrollWidth, innerWidth]);
  expect(scrollWidth <= innerWidth, `${when}, the page is ${scrollWidth} px wide in a window of ${innerWidth}`);
}

async function expectNoAxeViolation(page, when) {
  if (!(await page.evaluate(() => typeof axe !== 'undefined'))) await page.evaluate(axeSource);
  const violations = await page.evaluate(async () => (await axe.run(document, { preload: false })).violations
    .map(v => `${v.id} at ${v.nodes.map(n => n.target.join(' ')).slice(0, 3).join(', ')}`));
  expect(violations.length === 0, `axe finds, ${when}: ${violations.join('; ')}`);
  const width = page.viewport().width;
  axeChecks.set(width, [(axeChecks.get(width)?.[0] ?? 0) + 1, (axeChecks.get(width)?.[1] ?? 0) + violations.length]);
}

// Every control in sight is at least 44 px square, for a finger, on a phone's width.
async function expectFingerSized(page, viewport, when) {
  if (viewport === laptop) return;
  const small = await page.$$eval('button, select, input:not(.hidden-input), summary, a[href], label.button', controls =>
    controls.map(control => [control.id || control.textContent.slice(0, 20), control.getBoundingClientRect()])
      .filter(([, box]) => box.height && (box.width < 44 || box.height < 44))
      .map(([name, box]) => `${name} ${box.width}x${box.height}`));
  expect(small.length === 0, `${viewport.width} px wide, ${when}, under 44 px: ${small.join(', ')}`);
}

// Each setting, each profile column and each profile field is labelled with the
// title the core gives, its key beside it; the default profile is a list of the
// profiles by number and name, as show=profiles gives them.
async function expectLabels(page, values, when) {
  const shown = await page.evaluate(() => [...document.querySelectorAll('.setting')].map(row => ({
    id: row.querySelector('select, input').id,
    label: row.querySelector('label').textContent,
    hint: row.querySelector('.hint').textContent,
  })));
  const expected = values.settings.map(s => ({ id: `setting-${s.key}`, label: s.title, hint: s.hint }));
  expect(JSON.stringify(shown) === JSON.stringify(expected), `${when}, the settings are labelled ${JSON.stringify(shown)}`);
  // Key names only under "For the command line", each beside its label; no console words.
  const [keys, words] = await page.evaluate(() => [[...document.querySelectorAll('#keys tbody tr')]
    .map(tr => [...tr.cells].map(cell => cell.textContent).join('\t')),
    document.getElementById('editor').innerText]);
  const all = [...values.settings, ...values.profileOptions];
  expect(keys.join('|') === all.map(o => `${o.title}\t${o.key}`).join('|'), `${when}, the keys listed: ${keys.join('|')}`);
  const consoleWords = /\b(cntval|prfname|btlog|dprf)\b|INT ?19h|log part\.|hotkey is on|drive number|JSON/.exec(words + all.map(o => o.title + o.hint));
  expect(!consoleWords, `${when}, console words in sight: ${consoleWords}`);
  const columns = await page.$$eval('#profiles thead th', ths => ths.slice(1).map(th => th.textContent));
  const expectedColumns = ['prfname', 'btdrv', 'btprt', 'btlog']
    .map(key => `${values.profileOptions.find(o => o.key === key).title}`);
  expect(columns.join('|') === expectedColumns.join('|'), `${when}, the profile columns are ${columns.join('|')}`);
  const offers = await page.evaluate(() => [...document.querySelectorAll('.setting select')].map(select =>
    [select.id, [...select.options].map(o => o.textContent).join('|')]));
  for (const setting of values.settings.filter(s => s.words)) {
    const offered = offers.find(([id]) => id === `setting-${setting.key}`)?.[1];
    expect(offered === (setting.choices ?? setting.words).join('|'), `${when}, ${setting.key} offers ${offered}`);
  }
  expect(values.settings.find(s => s.key === 'stm').choices.join(' / ') === 'show the menu / start hidden'
         && await textOf(page, '#setting-stm option[value="hidden"]') === 'start hidden',
         `${when}, the start mode offers ${await textOf(page, '#setting-stm')}`);
  // Each profile field is described by its hint from the table.
  const described = await page.evaluate(() => [...document.querySelectorAll('#profiles tbody :is(input, select)')]
    .map(control => [control.id, control.getAttribute('aria-describedby').split(' ')
      .map(id => document.getElementById(id)?.textContent ?? '').join(' ')]));
  const hints = Object.fromEntries(['prfname', 'btdrv', 'btprt', 'btlog']
    .map(key => [key, values.profileOptions.find(o => o.key === key).hint]));
  const unhinted = described.filter(([id, text]) => !text.startsWith(hints[id.replace(/^profile-\d+-/, '')]));
  expect(described.length === 64 && unhinted.length === 0, `${when}, profile fields without their hint: ${unhinted.join('; ')}`);
  expect(/80h.*89h/.test(hints.btdrv) && /partition/.test(hints.btprt) && /logical partition/.test(hints.btlog)
         && new Set(Object.values(hints)).size === 4, `${when}, the profile hints: ${Object.values(hints).join(' | ')}`);
  const label = await textOf(page, 'label[for="profile-16-btlog"]');
  expect(label === `${values.profileOptions.find(o => o.key === 'btlog').title}, profile 16`,
         `${when}, profile 16's log part. number is labelled ${label}`);
  // Nothing cut off: each list is as wide as its longest choice needs.
  const cut = await page.$$eval('select', selects => selects.filter(select => {
    if (!select.offsetHeight) return false;
    const whole = Object.assign(select.cloneNode(true), { id: '', style: 'position:absolute;width:auto;max-width:none' });
    document.body.append(whole);
    const narrower = select.getBoundingClientRect().width < whole.getBoundingClientRect().width - 0.5;
    whole.remove();
    return narrower;
  }).map(select => select.id));
  expect(cut.length === 0, `${when}, lists cut off: ${cut.join(', ')}`);
  const profiles = vornset('show=profiles', sample).trim().split('\n').slice(1)
    .map(row => `${Number(row.slice(0, 2))}: ${row.slice(4, 20).trimEnd()}`);
  const choices = await page.$$eval('#setting-dprf option', options => options.map(o => `${o.value}|${o.textContent}`));
  expect(choices.join('\n') === profiles.map(p => `${p.split(':')[0]}|${p}`).join('\n'),
         `${when}, the default profile offers ${choices.join(', ')}`);
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

// On the laptop's screen every setting shows above the bar that holds Save.
async function expectSettingsOnTheFirstScreen(page) {
  const hidden = await page.evaluate(() => {
    const bar = document.getElementById('savebar').getBoundingClientRect().top;
    return [...document.querySelectorAll('.setting')].filter(row => row.getBoundingClientRect().bottom > bar)
      .map(row => row.querySelector('label').textContent);
  });
  expect(hidden.length === 0, `below the first screen: ${hidden.join(', ')}`);
}

const asksBeforeLeaving = page => page.evaluate(() => {
  const event = new Event('beforeunload', { cancelable: true });
  window.dispatchEvent(event);
  return event.defaultPrevented;
});

// The sentence beside a refused field, and the tool's message folded under it.
const refusalOf = (page, selector) => page.$eval(`${selector} + .error`, error => [error.firstChild.textContent,
  error.querySelector('.tool-message code')?.textContent ?? null, error.querySelector('details')?.open ?? false])
  .catch(() => null);

async function expectRefusals(page, viewport) {
  await typeInto(page, '#setting-cntval', '500');
  const [sentence, message, open] = await refusalOf(page, '#setting-cntval') ?? [];
  expect(sentence === 'Choose a number from 1 to 99.', `the refusal shown: ${JSON.stringify(sentence)}`);
  expect(message === 'Parameter error: load, line 1: cntval, only values 1-99 are valid' && !open,
         `the tool's message folded under it: ${JSON.stringify(message)}`);
  expect(await isDisabled(page), 'Save is disabled while a refusal is shown');
  await photograph(page, viewport, 'refused-number');
  await expectFingerSized(page, viewport, 'with a refused value');
  await expectNoAxeViolation(page, `${viewport.width} px wide, with a refused value`);
  expect(await textOf(page, '#bar-go') === 'Seconds before the default starts: choose a number from 1 to 99.',
         `the bar says ${await textOf(page, '#bar-sentence')}`);
  await page.evaluate(() => window.scrollTo(0, 0));
  await tap(page, '#bar-go');
  await pause(100);
  const [focused, top] = await page.evaluate(() => [document.activeElement.id,
    document.activeElement.getBoundingClientRect().bottom <= document.getElementById('savebar').getBoundingClientRect().top]);
  expect(focused === 'setting-cntval' && top, `the bar's message takes the person to ${focused}, above the bar: ${top}`);
  expect(await page.$eval('#setting-cntval', c => c.getAttribute('aria-invalid')) === 'true', 'the refused field is marked');
  await typeInto(page, '#setting-cntval', '30');
  expect(!(await page.$('#setting-cntval + .error')), 'the refusal goes once the value is mended');
  // Start hidden with the countdown off: the table's sentence for the rule.
  await setValue(page, '#setting-cnt', 'off');
  await setValue(page, '#setting-stm', 'hidden');
  const [hidden, hiddenMessage] = await refusalOf(page, '#setting-stm') ?? [];
  expect(hidden === 'To start hidden, turn the countdown on and choose a default boot first.'
         && hiddenMessage === 'Parameter error: stm, hidden mode requires countdown and default boot',
         `a hidden start without countdown: ${hidden} / ${hiddenMessage}`);
  await setValue(page, '#setting-stm', 'menu');
  await setValue(page, '#setting-cnt', 'on');

  // A NUL would end the value and start another option in the core.
  await setValue(page, '#profile-2-prfname', 'ab\0cntval=1');
  const [nul] = await refusalOf(page, '#profile-2-prfname') ?? [];
  expect(/zero byte/.test(nul ?? ''), `a name holding a NUL shows ${JSON.stringify(nul)} beside it`);
  expect(await isDisabled(page), 'Save is disabled while a value holds a NUL');
  await setValue(page, '#profile-2-prfname', 'Debian 12');
  await setValue(page, '#profile-2-prfname', '7'.repeat(16384));
  const [long] = await refusalOf(page, '#profile-2-prfname') ?? [];
  expect(/too long/.test(long ?? ''), `a value of 16 KiB shows ${JSON.stringify(long)} beside it`);
  await setValue(page, '#profile-2-prfname', 'Debian 12');
  await setValue(page, '#setting-cntval', '10');
  const left = await page.$$eval('.error:not([hidden])', errors => errors.map(e => `${e.previousElementSibling.id}: ${e.textContent}`));
  expect(left.length === 0 && await isDisabled(page), `with the values as they were, nothing is saved: ${left.join('; ')}`);
  expect(!(await asksBeforeLeaving(page)), 'with no change, leaving the page asks nothing');
  expect(await page.$eval('#review', review => review.offsetHeight === 0), 'with no change, the bar lists nothing');
}

// Numbers as a settings file reads them: digits alone, in the range; anything else
// is refused beside the field, and Save waits.
async function expectNumbersAsFiles(page) {
  const cases = [['cntval', '1', true], ['cntval', '99', true], ['cntval', '0', false], ['cntval', '100', false],
    ['cntval', '1e2', false], ['cntval', '2.5', false], ['cntval', '15s', false], ['cntval', ' 5', false],
    ['cntval', '-5', false], ['cntval', '+5', false], ['cntval', '', false], ['cntval', '10', true],
    ['usbmdev', '99', true], ['usbmdev', '1e1', false], ['usbmdev', '1', true]];
  for (const [key, text, taken] of cases) {
    await typeInto(page, `#setting-${key}`, text);
    const [sentence] = await refusalOf(page, `#setting-${key}`) ?? [];
    const refused = sentence === 'Choose a number from 1 to 99.';
    expect(refused === !taken && (taken || await isDisabled(page)),
           `${key}=${JSON.stringify(text)} is ${refused ? 'refused' : 'taken'}, Save ${await isDisabled(page) ? 'disabled' : 'enabled'}`);
  }
}

// The name's byte count, and where it is cut, what the tool stores of it.
async function expectNameCounted(page) {
  await typeInto(page, '#profile-11-prfname', 'Ubuntu Server 24 LTS');
  expect(await textOf(page, '#profile-11-count') === '20 of 16 bytes', `the count: ${await textOf(page, '#profile-11-count')}`);
  const cut = await textOf(page, '#profile-11-cut');
  expect(cut === 'Too long: the menu keeps "Ubuntu Server 24" and loses 4 letters, " LTS".', `the warning: ${cut}`);
  await typeInto(page, '#profile-12-prfname', `a${'é'.repeat(9)}`);
  const split = await textOf(page, '#profile-12-cut');
  expect(split === `Too long: the menu keeps "a${'é'.repeat(7)}" and loses 2 letters, "éé"; a part of "é" still fits, `
    + 'and may show as a stray sign.', `a character cut in two: ${split}`);
  const warnings = await page.$$eval('#warnings li', items => items.map(item => item.textContent));
  expect(warnings.length === 2 && warnings[0] === `Profile 11, Name: ${cut}`, `above Save: ${warnings.join(' | ')}`);
  expect(/2 names cut/.test(await textOf(page, '#bar-sentence')), `the bar: ${await textOf(page, '#bar-sentence')}`);
  await typeInto(page, '#profile-11-prfname', 'Ubuntu Server 24');
  await typeInto(page, '#profile-12-prfname', 'Gentoo');
  expect(await textOf(page, '#profile-12-count') === '6 of 16 bytes' && await textOf(page, '#profile-12-cut') === ''
         && (await page.$$('#warnings li')).length === 0, 'the warnings go with the long names');
}

// On a phone, each profile is one line until tapped open, and the page is short.
async function expectProfilesFolded(page, viewport) {
  const height = await page.evaluate(() => document.documentElement.scrollHeight);
  const shown = () => page.$eval('#profile-5-btdrv', field => field.offsetHeight > 0);
  expect(height < (viewport === small ? 4500 : 3600) && !(await shown()), `the page is ${height} px tall, profile 5 open`);
  await tap(page, '#profiles tr:nth-child(5) .fold');
  expect(await shown(), 'a tap opens the profile');
  await expectFingerSized(page, viewport, 'with a profile open');
  await expectNoAxeViolation(page, `${viewport.width} px wide, with a profile open`);
  await tap(page, '#profiles tr:nth-child(5) .fold');
}

// Save by the download path.
async function saveByDownload(page) {
  const saved = path.join(downloads, path.basename(sample));
  fs.rmSync(saved, { force: true });
  await page.click('#save');
  return waitForFile(saved);
}

// The changes and the command line above Save; then Save, whose image the command
// line, run by the native tool on a copy, gives too.
async function expectChangesSaved(page, viewport) {
  await typeInto(page, '#setting-cntval', '25');
  await typeInto(page, '#profile-2-prfname', 'Linux Mint');
  const changes = await linesOf(page, '#changes');
  expect(changes === 'Seconds before the default starts: 10 → 25\nProfile 2, Name: "Debian 12" → "Linux Mint"',
         `the changes: ${changes}`);
  if (process.env.VORNSET_PICTURES && engine === 'chromium' && viewport !== small) await pictureForTheReadme(page, viewport);
  const command = await textOf(page, '#command');
  expect(command === 'vornset cntval=25 prf=2 "prfname=Linux Mint" vornbm.bin', `the command line: ${command}`);
  expect(await textOf(page, '#bar-sentence') === '2 changes to save into vornbm.bin.', 'the bar counts 2 changes');
  expect(await textOf(page, '#profile-2-count') === '10 of 16 bytes', 'the name counts its bytes');
  expect(await asksBeforeLeaving(page), 'with changes pending, leaving the page asks first');

  const name = `It's "$x" \\`;
  await typeInto(page, '#profile-3-prfname', name);
  const commands = await textOf(page, '#command');
  const toSave = await linesOf(page, '#changes');
  const expected = nativeRuns(['cntval=25', 'prf=2', 'prfname=Linux Mint'], ['prf=3', `prfname=${name}`]);
  expect(!(await isDisabled(page)), 'Save is enabled after valid changes');
  const saved = await saveByDownload(page);
  expect(saved !== null, 'Save downloads the image under its name');
  expect(saved?.equals(expected.image), 'the saved image is byte for byte what the native tool writes');
  expect(shellRun(commands).equals(expected.image), `the command line gives what Save wrote: ${commands}`);
  const summary = await textOf(page, '#bar-sentence');
  expect(summary === 'vornbm.bin is in your browser\'s downloads: put it in place of the old one.', `after Save: ${summary}`);
  const barText = await page.$eval('#savebar', bar => bar.innerText);
  expect(!/data changed|ffff|hint:/.test(barText), `the bar shows the tool's closing messages: ${barText}`);
  const listed = await page.$eval('#savebar', bar => ({ changes: bar.querySelector('#changes').innerText,
    caption: bar.querySelector('#changes-caption').textContent, advice: bar.querySelector('#advice').innerText,
    steps: bar.querySelector('#steps')?.innerText, open: bar.querySelector('#review').open }));
  expect(listed.caption === 'Saved these changes:' && listed.changes === toSave && toSave.split('\n').length === 3,
         `after Save, the bar lists ${listed.caption} ${listed.changes}`);
  expect(listed.open && /downloads in\.\n.*vornbm \(1\)\.bin, rename it to vornbm\.bin\.\n.*replace the old vornbm\.bin/.test(listed.steps),
         `after a download, the steps: ${listed.steps}`);
  expect(/^If your PC starts the boot manager from the Windows boot menu, run vornprep again[^.]*\.$/.test(listed.advice),
         `the vornprep advice: ${listed.advice}`);
  await page.$eval('#review', review => { review.open = true; });
  await expectNoAxeViolation(page, `${viewport.width} px wide, after Save with the details open`);
  await expectFingerSized(page, viewport, 'after Save');
  // The copy kept is the image as it was before the first Save.
  const copy = path.join(downloads, 'vornbm-copy.bin');
  await tap(page, '#keep');
  expect((await waitForFile(copy))?.equals(fs.readFileSync(sample)) && await textOf(page, '#keep-sentence')
         === 'As it was before your first Save:', `the copy kept: ${await textOf(page, '#keep-sentence')}`);
  fs.rmSync(copy, { force: true });
  expect(await isDisabled(page), 'after Save, nothing is left to save');
  expect(!(await asksBeforeLeaving(page)), 'after Save, leaving the page asks nothing');
  await photograph(page, viewport, 'after-save');
  await expectBarFits(page, viewport, 'after Save, with the details open');
  // The list stays until the next change.
  await setValue(page, '#profile-16-btlog', '2');
  expect(await textOf(page, '#changes-caption') === 'Save will write these changes:'
         && await linesOf(page, '#changes') === 'Profile 16, Logical partition: 4 → 2',
         `after the next change: ${await linesOf(page, '#changes')}`);
  await expectBarFits(page, viewport, 'with a change and the details open');
  await setValue(page, '#profile-16-btlog', '4');
}

// The bar holds no more than a quarter of the window, and the field being edited is
// never under it, at the foot of the form nor the head.
async function expectBarFits(page, viewport, when) {
  for (const field of ['#profile-16-prfname', '#profile-16-btlog', '#setting-cntval']) {
    await reveal(page, field);
    await page.focus(field);
    await pause(50);
    const [bar, top, bottom, height] = await page.evaluate(selector => {
      const box = document.getElementById('savebar').getBoundingClientRect();
      const focused = document.querySelector(selector).getBoundingClientRect();
      return [box.height, box.top, focused.bottom, innerHeight];
    }, field);
    expect(bar <= height / 4, `${when}, the bar is ${bar} px high in a window of ${height} (${viewport.width} px wide)`);
    expect(bottom <= top, `${when}, ${field} ends at ${bottom}, under the bar from ${top}`);
  }
}

// The edit and Save with the keyboard alone: TAB to a field, type or choose, and
// Enter on Save.
async function expectKeyboardEdit(page) {
  const tabTo = async id => {
    for (let i = 0; i < 150 && await page.evaluate(() => document.activeElement.id) !== id; i++) {
      await page.keyboard.press('Tab');
    }
    expect(await page.evaluate(() => document.activeElement.id) === id, `TAB never reaches ${id}`);
  };
  const selectAll = async () => {
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyA');
    await page.keyboard.up('Control');
  };
  await page.focus('#image-file');
  await tabTo('setting-cntval');
  await selectAll();
  await page.keyboard.type('25');
  await tabTo('fold-2');
  await page.keyboard.press('Enter');
  await tabTo('profile-2-prfname');
  await selectAll();
  await page.keyboard.type('Linux Mint');
  await tabTo('profile-2-btdrv');
  await page.keyboard.press('ArrowDown');
  await tabTo('save');
  const saved = path.join(downloads, path.basename(sample));
  fs.rmSync(saved, { force: true });
  await page.keyboard.press('Enter');
  const bytes = await waitForFile(saved);
  expect(bytes?.equals(nativeRuns(['cntval=25', 'prf=2', 'prfname=Linux Mint', 'btdrv=81h']).image),
         'the keyboard\'s edit is saved as the native tool writes it');
}

// Where the browser gives a handle to the file, Save writes into it after asking.
async function expectSavedIntoTheFile(browser) {
  const page = await browser.newPage();
  page.on('pageerror', error => expect(false, `the page threw ${error.message}`));
  page.on('dialog', dialog => dialog.accept());
  await page.evaluateOnNewDocument(base64 => {
    const bytes = Uint8Array.from(atob(base64), c => c.charCodeAt(0));
    const handle = {
      kind: 'file',
      getFile: async () => new File([bytes], 'vornbm.bin'),
      createWritable: async () => ({ write: async data => { window.written = Array.from(data); }, close: async () => {} }),
    };
    window.showOpenFilePicker = async () => [handle];
  }, fs.readFileSync(sample).toString('base64'));
  await page.goto(`file://${pageFolder}/index.html`);
  await page.waitForSelector('body[data-ready="true"]');
  await page.click('#image-file');
  await page.waitForFunction(() => !document.getElementById('editor').hidden);
  await typeInto(page, '#setting-cntval', '25');
  await typeInto(page, '#profile-2-prfname', 'Linux Mint');
  await page.click('#save');
  await page.waitForFunction(() => window.written);
  const written = Buffer.from(await page.evaluate(() => window.written));
  expect(written.equals(nativeRuns(['cntval=25', 'prf=2', 'prfname=Linux Mint']).image), 'Save writes the edit into the file');
  const summary = await textOf(page, '#bar-sentence');
  expect(summary === 'Saved 2 changes into vornbm.bin itself: the file you opened holds them now.',
         `after Save into the file: ${summary}`);
  await page.close();
}

// The settings go out as the tool's show=options and show=json print them, and come
// back in through load=, as changes in the form.
async function expectSettingsExportedAndLoaded(page) {
  await page.click('#export');
  const exported = await waitForFile(path.join(downloads, `${path.basename(sample, '.bin')}-settings.txt`));
  expect(exported?.toString('latin1') === vornset('show=options', sample), 'Export settings gives what show=options prints');
  await page.$eval('#for-tools', details => { details.open = true; }).catch(() => {});
  await page.click('#show-json');
  expect(await textOf(page, '#json') === vornset('show=json', sample), 'Show JSON shows what show=json prints');
  const settings = path.join(work, 'settings.txt');
  fs.writeFileSync(settings, 'cntval=42\r\nprf=16\r\nprfname=Loaded\r\n');
  await (await page.$('#settings-file')).uploadFile(settings);
  await page.waitForFunction(() => document.getElementById('setting-cntval').value === '42');
  expect(await valueOf(page, '#profile-16-prfname') === 'Loaded', 'a loaded settings file fills the form');
  expect(await linesOf(page, '#changes') === 'Seconds before the default starts: 10 → 42\nProfile 16, Name: "Memtest" → "Loaded"',
         `a loaded settings file's changes: ${await linesOf(page, '#changes')}`);
  expect(await page.$eval('#settings-file', input => input.accept.split(',').includes('.json')), 'the picker offers .json');
  // A refused file says why, with its line and the setting's label, in sight.
  fs.writeFileSync(settings, '# vornset settings\nvm=800x600\ncnt=on\n\ncntval=120\n');
  await (await page.$('#settings-file')).uploadFile(settings);
  await page.waitForFunction(() => !document.getElementById('files-problem').hidden);
  expect(await page.$eval('#files-sentence', p => p.offsetHeight > 0 && p.textContent) === 'settings.txt is refused, '
    + 'and nothing in the form changed: line 5 gives Seconds before the default starts the value "120", and it takes '
    + 'a number from 1 to 99.', `a refused settings file: ${await textOf(page, '#files-sentence')}`);
  await expectNoAxeViolation(page, 'with a refused settings file and the keys shown');
  expect(!(await isDisabled(page)), 'Save is enabled after a settings file is loaded');
}

// A file that is no image the page edits gets one sentence, what it is not and what
// the page needs, and the tool's own message folded under it.
async function expectWrongFilesSaid(page, viewport) {
  const image = Buffer.from(fs.readFileSync(sample));
  image[0x287] = 6;
  const needs = ' Open vornbm.bin, the boot manager\'s image, from the disk or USB stick that the boot manager starts from.';
  const version = ' is not an image of the boot manager that this page edits.' + needs + ' If that is refused too, the '
    + 'boot manager is of an older or newer version: update it and this page first.';
  const files = [
    ['notes.txt', Buffer.from('Shopping: bread, milk.\n'.repeat(200)), `notes.txt${version}`],
    ['old.bin', image, `old.bin${version}`],
    ['short.bin', image.subarray(0, 1927), `short.bin is not a boot manager image: it is too small to be one.${needs}`],
    ['large.bin', Buffer.alloc(65537), `large.bin is not a boot manager image: it is too large to be one.${needs}`],
  ];
  for (const [name, bytes, expected] of files) {
    const file = path.join(work, name);
    fs.writeFileSync(file, bytes);
    await openImage(page, file);
    const [sentence, message, open, font] = await page.$eval('#image-problem', problem => [
      problem.querySelector('p').textContent, problem.querySelector('pre').textContent, problem.querySelector('details').open,
      getComputedStyle(problem.querySelector('p')).fontFamily]);
    expect(sentence === expected && !/monospace/.test(font), `${name} is said as ${JSON.stringify(sentence)}`);
    expect(message === vornset(file) && !open, `${name}: the tool's message folded under it: ${JSON.stringify(message)}`);
    expect(await page.$eval('#editor', element => element.hidden), `${name}: nothing is offered to edit`);
    if (name === 'notes.txt') {
      await photograph(page, viewport, 'wrong-file');
      await expectNoAxeViolation(page, `${viewport.width} px wide, with a wrong file`);
      await expectFingerSized(page, viewport, 'with a wrong file');
    }
  }
}

// With unsaved changes, another image replaces them only after the person agrees.
async function expectAskedBeforeReplacing(page, viewport) {
  const other = path.join(work, 'other.bin');
  fs.copyFileSync(sample, other);
  // The image as the last Save left it, countdown 25.
  await typeInto(page, '#setting-cntval', '30');
  for (const answer of ['#replace-keep', 'Escape', '#replace-drop']) {
    await chooseImage(page, other);
    await page.waitForSelector('#replace[open]');
    const question = await textOf(page, '#replace-question');
    expect(question === 'You have 1 unsaved change to vornbm.bin. Opening other.bin drops them.', `the question: ${question}`);
    if (answer === '#replace-keep') {
      await photograph(page, viewport, 'replace-question');
      await expectNoAxeViolation(page, `${viewport.width} px wide, asking before another image`);
      await expectFingerSized(page, viewport, 'asking before another image');
    }
    if (answer === 'Escape') await page.keyboard.press('Escape');
    else await page.click(answer);
    await page.waitForFunction(() => !document.getElementById('replace').open);
    await pause(100);
    const [value, name] = [await valueOf(page, '#setting-cntval'), await textOf(page, '#image-name')];
    const dropped = answer === '#replace-drop';
    expect(dropped ? value === '10' && /^other\.bin/.test(name) : value === '30' && /^vornbm\.bin/.test(name),
           `answered ${answer}, the form holds ${value} from ${name}`);
  }
  expect(!(await asksBeforeLeaving(page)), 'with the other image open unchanged, leaving asks nothing');
}

// Load settings stores what "vornset load=FILE" stores, names that are no text
// included; and the command line the page shows stores the same.
async function expectLoadedAsTheTool(page) {
  const cases = [
    ['text.json', '{"profiles":[{"prf":2,"prfname":"Caf\\u00e9"}]}'],
    ['bytes.json', '{"settings":{"cntval":12},"profiles":[{"prf":2,"prfname":null,"prfname_bytes":"436166e9"},'
      + '{"prf":5,"prfname":null,"prfname_bytes":"25275c22ff"}]}'],
    ['latin1.txt', Buffer.from('prf=4\nprfname=Caf\xe9 100%\n', 'latin1')],
    ['controls.json', '{"profiles":[{"prf":2,"prfname":"a\\nb"},{"prf":3,"prfname":"c\\rd\\u0085"},'
      + '{"prf":4,"prfname":"Debian\\u00a012"},{"prf":5,"prfname":"e\\u0301"},{"prf":6,"prfname":"\\u00e9"}]}'],
  ];
  for (const [name, content] of cases) {
    await openImage(page, sample);
    const file = path.join(work, name);
    fs.writeFileSync(file, content);
    const expected = nativeRuns([`load=${file}`]).image;
    await (await page.$('#settings-file')).uploadFile(file);
    await page.waitForFunction(() => !document.getElementById('save').disabled);
    const commands = await textOf(page, '#command');
    if (name === 'controls.json') {
      // Kept exactly, shown escaped; and names that differ listed differently.
      expect(await valueOf(page, '#profile-2-prfname') === 'a\\u000ab', `a line feed shows as ${await valueOf(page, '#profile-2-prfname')}`);
      const listed = (await linesOf(page, '#changes')).split('\n').slice(2).map(line => line.replace(/^.*→ /, ''));
      expect(listed.join('|') === '"Debian\\u00a012"|"e\\u0301"|"é"', `names listed as ${listed.join('|')}`);
    }
    const saved = await saveByDownload(page);
    expect(saved?.equals(expected), `${name}: Save stores what load= stores`);
    expect(shellRun(commands).equals(expected), `${name}: the command line stores what load= stores: ${commands}`);
  }
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

// Dark where the system is dark, and still where it asks for less motion.
async function expectMediaHonoured(page) {
  const look = () => page.evaluate(() => [getComputedStyle(document.body).backgroundColor,
    getComputedStyle(document.documentElement).scrollBehavior]);
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'light' },
                                   { name: 'prefers-reduced-motion', value: 'no-preference' }]);
  const [light, moving] = await look();
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'dark' },
                                   { name: 'prefers-reduced-motion', value: 'reduce' }]);
  const [dark, still] = await look();
  expect(light !== dark, `the background is ${light} in light and dark`);
  expect(moving === 'smooth' && still === 'auto', `scrolling is ${moving}, and ${still} with reduced motion`);
  await expectNoAxeViolation(page, 'in the dark');
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'light' },
                                   { name: 'prefers-reduced-motion', value: 'reduce' }]);
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
    const others = requests.filter(url => !['index.html', 'style.css', 'vornset.js'].some(f => url === `${origin}/${f}`)
      && !url.startsWith('data:'));
    expect(others.length === 0, `served by a static host, the page requested ${others.join(', ')}`);
    await page.close();
  } finally {
    server.close();
  }
}

async function launch(kind) {
  if (kind === 'chromium') {
    const browser = await puppeteer.launch({
      executablePath: chromium,
      headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
             '--disable-component-update', '--disable-sync', `--user-data-dir=${path.join(work, 'profile')}`],
    });
    const session = await browser.target().createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    return browser;
  }
  // No dialog where a download goes: straight into the folder.
  return puppeteer.launch({
    browser: 'firefox',
    executablePath: firefox,
    headless: true,
    extraPrefsFirefox: {
      'browser.download.folderList': 2,
      'browser.download.dir': downloads,
      'browser.download.useDownloadDir': true,
      'browser.download.always_ask_before_handling_new_types': false,
      'browser.helperApps.neverAsk.saveToDisk': 'application/octet-stream,text/plain',
      'ui.prefersReducedMotion': 1,
    },
  });
}

async function runIn(kind, values) {
  engine = kind;
  const browser = await launch(kind);
  try {
    const requests = [];
    for (const viewport of [small, phone, laptop]) {
      const when = `at ${viewport.width}x${viewport.height}`;
      const page = await openPage(browser, viewport, requests);
      if (kind === 'chromium') {
        await page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]);
      }
      await expectFits(page, `${when}, before an image is opened`);
      await expectNoAxeViolation(page, `${when}, before an image is opened`);
      await openImage(page, sample);
      await expectFits(page, `${when}, with the image open`);
      await expectLabels(page, values, when);
      await expectNoAxeViolation(page, `${when}, with the image open`);
      await expectFingerSized(page, viewport, 'with the image open');
      if (viewport !== laptop) await expectProfilesFolded(page, viewport);
      if (viewport === laptop) {
        await expectTheReport(page);
        await expectSettingsOnTheFirstScreen(page);
        // WebDriver BiDi has no media emulation, nor the accessibility tree.
        if (kind === 'chromium') {
          await expectNamedControls(page);
          await expectMediaHonoured(page);
        }
      }
      await expectRefusals(page, viewport);
      await expectNumbersAsFiles(page);
      await expectNameCounted(page);
      await typeInto(page, '#profile-11-prfname', 'Ubuntu Server 24 LTS');
      await expectFits(page, `${when}, with a long name's warning`);
      await expectNoAxeViolation(page, `${when}, with changes and a warning`);
      await typeInto(page, '#profile-11-prfname', 'Ubuntu Server 24');
      await expectChangesSaved(page, viewport);
      await expectNoAxeViolation(page, `${when}, after Save`);
      await expectAskedBeforeReplacing(page, viewport);
      await expectWrongFilesSaid(page, viewport);
      await expectLoadedAsTheTool(page);
      await page.close();
    }
    const page = await openPage(browser, phone, requests);
    await openImage(page, sample);
    await expectKeyboardEdit(page);
    await page.close();

    const files = await openPage(browser, laptop, requests);
    await openImage(files, sample);
    await expectSettingsExportedAndLoaded(files);
    await files.close();
    if (kind === 'chromium') await expectSavedIntoTheFile(browser);
    const own = new Set(['index.html', 'style.css', 'vornset.js'].map(f => `file://${pageFolder}/${f}`));
    const others = requests.filter(url => !own.has(url) && !/^(blob|data):/.test(url));
    console.log(`${kind}: requests: ${requests.length}, of which ${others.length} beyond the page's own files`);
    console.log(`${kind}: axe-core: ${[...axeChecks].map(([width, [states, found]]) => `${found} violations in ${states} states at ${width} px`).join(', ')}`);
    expect(others.length === 0, `the page requested ${others.join(', ')}`);
    await expectStaticHostServes(browser);
  } finally {
    await browser.close();
  }
}

// An older firefox-esr (as a root without Debian's security updates has) lacks
// WebDriver BiDi commands that puppeteer-core uses: the page then ran in chromium
// alone, and the test says so rather than failing.
async function runInFirefox(values) {
  try {
    await runIn('firefox', values);
  } catch (error) {
    if (!/unknown command/.test(error.message)) throw error;
    console.log(`firefox-esr lacks a WebDriver BiDi command (${error.message.split('\n')[0]}): the page ran in chromium alone`);
  }
}

(async () => {
  const size = ['index.html', 'style.css', 'vornset.js'].reduce((sum, f) => sum + fs.statSync(path.join(pageFolder, f)).size, 0);
  expect(size < 100 * 1024, `the page's three files hold ${size} bytes, over 100 KiB`);
  fs.mkdirSync(downloads);
  const values = (await VornsetCore.load()).values();
  try {
    if (browser === 'chromium') await runIn('chromium', values);
    else if (fs.existsSync(firefox)) await runInFirefox(values);
    else console.log(`firefox-esr is not at ${firefox}: the page did not run in it`);
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(failures ? `${failures} checks failed` : 'the page shows, checks and saves as the tool does');
  process.exit(failures ? 1 : 0);
})().catch(error => {
  console.log(`FAIL: ${error.stack}`);
  process.exit(1);
});
