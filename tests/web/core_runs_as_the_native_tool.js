// Runs the page's core, the tool compiled to WebAssembly, over the end-to-end cases
// and compares each run with the native tool's on a real file: exit status, standard
// output, standard error and the file's bytes afterwards. Then what the page builds on
// the core: arguments the core refuses before a run, the changes an edit makes, the
// command line that makes the same edit, and what the tool stores of a long name.
//
// VORNSET_NATIVE names the native binary, VORNSET_PAGE the built page, SAMPLE the
// sample image.
'use strict';

const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const native = process.env.VORNSET_NATIVE;
if (!native || !fs.existsSync(native)) {
  console.log(`skipped: no native vornset at ${native}; cmake --workflow --preset release builds it`);
  process.exit(77);
}
const { VornsetCore, splitChanges, commandLine, cutName } = require(path.join(process.env.VORNSET_PAGE, 'vornset.js'));
const sample = fs.readFileSync(process.env.SAMPLE);

function withByte(image, offset, value) {
  const copy = Buffer.from(image);
  copy[offset] = value;
  return copy;
}

const hiddenReady = withByte(withByte(sample, 0x28c, 0), 0x28a, 0);
const hidden = withByte(sample, 0x293, 1);
const blank = withByte(Buffer.alloc(sample.length), 0x287, 7);
const images = {
  sample,
  hiddenReady,
  hidden,
  blank,
  wrongVersion: withByte(sample, 0x287, 6),
  empty: Buffer.alloc(0),
  short: sample.subarray(0, 1927),
  smallest: sample.subarray(0, 1928),
  largest: Buffer.concat([sample, Buffer.alloc(65536 - sample.length)]),
  oversized: Buffer.concat([sample, Buffer.alloc(65537 - sample.length)]),
};
const settingsOfSample = spawnSync(native, ['show=options', process.env.SAMPLE]).stdout;

// [image, arguments before the path, standard input]
const cases = [
  ['sample', []],
  ['sample', null],
  ['sample', ['--help'], null],
  ['sample', ['--version'], null],
  ['sample', ['-h'], null],
  ['sample', ['show=profiles']],
  ['sample', ['show=options']],
  ['sample', ['show=json', 'show=options', 'show=json']],
  ['sample', ['show=x']],
  ['hiddenReady', ['stm=hidden', 'cnt=on', 'cntval=1', 'dbt=usb']],
  ['hiddenReady', ['stm=hidden']],
  ['hidden', ['cnt=off']],
  ['hidden', ['stm=menu', 'dbt=off']],
  ['sample', ['prf=3', 'prfname=ABCDEFGHIJKLMNOPQR', 'btdrv=89h', 'btprt=2', 'btlog=4']],
  ['sample', ['show=profiles', 'prf=2', 'prfname=Linux']],
  ['sample', ['foo=1', 'VM=text', 'vm', 'text']],
  ['sample', ['prf=1', 'prfname=X', 'vm=800x600', 'vm=bad']],
  ['sample', ['cntvl=5', 'btdrv=82h', 'list']],
  ['sample', ['--dry-run', 'vm=text']],
  ['sample', ['cntval=0']], ['sample', ['cntval=99']], ['sample', ['cntval=100']], ['sample', ['cntval=7s']],
  ['sample', ['cntval=4294967297']], ['sample', ['usbmdev=1']], ['sample', ['usbmdev=100']],
  ['sample', ['dprf=16']], ['sample', ['dprf=17']], ['sample', ['usb1=01']], ['sample', ['hotkey=on']],
  ['sample', ['fnt=bios', 'zan=off', 'stf=off', 'int19h=on', 'vm=1280x1024', 'usb1=2']],
  ['sample', ['prf=0']], ['sample', ['prf=17']], ['sample', ['prf=16', 'btdrv=8ah']], ['sample', ['prf=1', 'btprt=5']],
  ['sample', ['prf=5', 'btlog=4', 'prfname=', 'btprt=1']],
  ['sample', ['vm=\x1b[2J', 'prfname=\u009b']],
  ['sample', ['cnt=on', 'prfname=\u009b', 'btlog=2']],
  ['wrongVersion', []], ['wrongVersion', ['vm=text']],
  ['empty', []], ['short', ['vm=text']], ['smallest', ['prf=16', 'prfname=ABCDEFGHIJKLMNOP']],
  ['largest', ['dbt=usb']], ['oversized', ['dbt=usb']],
  ['blank', ['load=-'], settingsOfSample],
  ['sample', ['load=-', 'cntval=30'], '# settings\r\n\r\ncntval=20\r\nprf=2\r\nprfname=Two words \r\nbtdrv=83h\r\n'],
  ['sample', ['load=-'], 'vm=text\n\n# x\ncntval=500\n'],
  ['sample', ['load=-'], 'btdrv=81h\n'],
  ['sample', ['load=-'], 'stm=hidden\ncnt=off\n'],
  ['sample', ['load=-'], 'show=json\n'],
  ['sample', ['load=-'], 'vm=text\n\0'],
  ['sample', ['load=-', 'show=options'], 'prf=7\nprfname=Seven\nbtlog=2\n'],
];

function runNative(image, args, input) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vornset-web-'));
  try {
    fs.writeFileSync(path.join(folder, 'vornbm.bin'), image);
    const argv = args === null ? [] : [...args, 'vornbm.bin'];
    const run = spawnSync(native, argv, { cwd: folder, input: input ?? '' });
    return { status: run.status, output: run.stdout, errors: run.stderr, image: fs.readFileSync(path.join(folder, 'vornbm.bin')) };
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

function describe(name, args, input) {
  return `${name} ${JSON.stringify(args)}${input === undefined ? '' : ` < ${JSON.stringify(String(input).slice(0, 40))}`}`;
}

let failures = 0;

function expect(condition, what) {
  if (!condition) {
    failures++;
    console.log(`FAIL: ${what}`);
  }
}

// A value with a NUL, or longer than the core's buffer, is refused before the run, by
// its index, with the image untouched and nothing printed; and the next run works.
function expectArgumentsRefused(core) {
  const image = new Uint8Array(sample);
  for (const [what, value, status] of [['a NUL', 'prfname=ab\0cntval=1', -2],
                                       ['16 KiB', `prfname=${'a'.repeat(16384)}`, -1]]) {
    let run;
    try {
      run = core.run(['prf=2', value, 'vornbm.bin'], image);
    } catch (error) {
      expect(false, `a value of ${what} throws: ${error.message}`);
      continue;
    }
    expect(run.status === status && run.refusedArgument === 1,
           `a value of ${what} gives ${run.status}, argument ${run.refusedArgument}`);
    expect(!run.written && run.output.length === 0 && Buffer.from(run.image).equals(sample), `a value of ${what} is run`);
    const next = core.run(['cntval=25', 'vornbm.bin'], image);
    expect(next.status === 0 && next.written, `the run after a value of ${what} fails: ${next.text}`);
  }
}

function edited(core, image, args) {
  const run = core.run([...args, 'vornbm.bin'], image);
  return run.image;
}

// A run with show=changes gives the page the closing messages the plain edit prints
// and the changes, a character cut in two shown by its byte.
function expectChanges(core) {
  const cases = [
    [sample, ['cntval=25', 'prf=2', 'prfname=Linux Mint'], ['cntval: 10 -> 25', 'prf=2 prfname: "Debian 12" -> "Linux Mint"']],
    [sample, ['stm=menu'], []],
    [sample, ['prf=16', `prfname=a${'é'.repeat(8)}`], [`prf=16 prfname: "Memtest" -> "a${'é'.repeat(7)}\\xc3"`]],
    [withByte(sample, 0x288, 9), ['vm=text'], ['vm: stored 9 -> text']],
  ];
  for (const [image, args, expected] of cases) {
    const run = core.run([...args, 'show=changes', 'vornbm.bin'], new Uint8Array(image));
    const { closing, changes } = splitChanges(run.output);
    expect(changes.join('\n') === expected.join('\n'), `${args.join(' ')} changes ${JSON.stringify(changes)}`);
    const plain = runNative(image, args, Buffer.alloc(0)).output.toString();
    expect(closing === plain, `${args.join(' ')} closes with ${JSON.stringify(closing)}, the tool with ${JSON.stringify(plain)}`);
  }
}

// The command line, pasted into sh and bash, edits a copy of the image as the core does.
function expectCommandLines(core) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vornset-shell-'));
  try {
    fs.mkdirSync(path.join(folder, 'bin'));
    fs.symlinkSync(native, path.join(folder, 'bin', 'vornset'));
    const names = [`It's "$HOME"`, 'back\\slash `id`', 'a b!c & d;', '~root *', '$(id)', ''];
    for (const [name, file] of names.map(n => [n, 'vornbm.bin']).concat([['Linux Mint', "-my boot's.bin"]])) {
      const runs = [['cntval=25', 'prf=2', `prfname=${name}`], ['prf=3', 'btdrv=81h']];
      const expected = runs.reduce((image, args) => edited(core, image, args), new Uint8Array(sample));
      for (const shell of ['sh', 'bash']) {
        fs.writeFileSync(path.join(folder, file), sample);
        const run = spawnSync(shell, ['-c', commandLine(runs, file)], {
          cwd: folder, env: { PATH: `${path.join(folder, 'bin')}:/usr/bin:/bin`, HOME: folder }, encoding: 'latin1' });
        expect(run.status === 0 && fs.readFileSync(path.join(folder, file)).equals(expected),
               `${shell} -c '${commandLine(runs, file)}': ${run.status} ${run.stderr}`);
      }
    }
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// What the page says the tool stores of a long name is what the tool stores.
function expectCutNames(core) {
  const names = ['Ubuntu Server 24 LTS', `a${'é'.repeat(8)}`, `abcdefghijklmn${'€'}`, `abcdefghijklmno${'😀'}x`, '0123456789abcdef'];
  for (const name of names) {
    const run = core.run(['show=json', 'prf=1', `prfname=${name}`, 'vornbm.bin'], new Uint8Array(sample));
    const stored = Buffer.from(JSON.parse(run.text.slice(run.text.indexOf('{'))).profiles[0].stored.name);
    const cut = cutName(name, 16);
    const said = cut ? Buffer.concat([Buffer.from(cut.kept), Buffer.from(cut.partial.join(''), 'hex')]) : Buffer.from(name);
    expect(said.equals(stored.subarray(0, said.length)) && said.length === Math.min(16, Buffer.byteLength(name)),
           `for ${name} the page says ${said.toString('hex')}, the tool stores ${stored.toString('hex')}`);
    expect(!cut || !`${cut.kept}${cut.split}${cut.dropped}`.includes('\ufffd'), `the cut of ${name} shows a broken character`);
  }
}

(async () => {
  const core = await VornsetCore.load();
  expectArgumentsRefused(core);
  expectChanges(core);
  expectCommandLines(core);
  expectCutNames(core);
  for (const [name, args, input] of cases) {
    const image = images[name];
    const stdin = input === undefined || input === null ? Buffer.alloc(0) : Buffer.from(input);
    const expected = runNative(image, args, stdin);
    const argv = args === null ? [] : [...args, 'vornbm.bin'];
    const got = core.run(argv, new Uint8Array(image), image.length, new Uint8Array(stdin));
    const differences = [];
    if (got.status !== expected.status) differences.push(`status ${got.status}, native ${expected.status}`);
    if (!Buffer.from(got.output).equals(expected.output)) differences.push(`output:\n${got.text}\nnative:\n${expected.output}`);
    if (!Buffer.from(got.errors).equals(expected.errors)) differences.push(`errors: ${Buffer.from(got.errors)}, native: ${expected.errors}`);
    const after = image.length <= 65536 ? Buffer.from(got.image) : image;
    if (!after.equals(expected.image)) differences.push('the image differs');
    expect(!differences.length, `${describe(name, args, input)}: ${differences.join('; ')}`);
  }
  console.log(failures ? `${failures} checks failed` : `the ${cases.length} runs of the core matched the native tool, `
    + 'and what the page builds on it holds');
  process.exit(failures ? 1 : 0);
})().catch(error => {
  console.log(`FAIL: ${error.stack}`);
  process.exit(1);
});
