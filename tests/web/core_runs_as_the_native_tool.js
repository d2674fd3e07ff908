// Runs the end-to-end cases against the native tool, recording each run that the
// page's core can make too, and replays those runs in the core, the tool compiled to
// WebAssembly: exit status, standard output, standard error and the image's bytes
// afterwards must be the native run's. Then what the page builds on the core:
// arguments the core refuses before a run, the changes an edit makes, the command
// line that makes the same edit, and what the tool stores of a long name.
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

// The runs of the end-to-end cases that need no file but their image, each with its
// arguments, standard input and image before, and what the native tool gave.
function recordedRuns() {
  const e2e = path.join(__dirname, '..', 'e2e');
  const script = path.join(e2e, 'run.sh');
  // Only the cases that run the tool through the script's recording wrapper.
  const names = [...fs.readFileSync(script, 'utf8').matchAll(/^case_([a-z0-9_]+)\(\) \{\n(.*?)\n\}\n/gms)]
    .filter(([, , body]) => /(^\s*|\|\s*|capture )(vornset|tool)( |$)/m.test(body)).map(([, name]) => name);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vornset-e2e-'));
  try {
    const env = { ...process.env, VORNSET: native, GOLDEN: path.join(e2e, 'golden'), VORNSET_RECORD: folder };
    delete env.VORNSET_RUNNER;
    delete env.VORNSET_SHIM_LIBRARY;
    for (const name of names) {
      const run = spawnSync('bash', [script, name], { env, encoding: 'utf8' });
      expect(run.status === 0 || run.status === 77, `e2e.${name} fails on the native tool: ${run.stdout}${run.stderr}`);
    }
    return fs.readdirSync(folder).map(run => {
      const read = file => fs.readFileSync(path.join(folder, run, file));
      const bytes = read('arguments');
      const args = [];
      for (let at = 0; at < bytes.length;) {
        const end = bytes.indexOf(0, at);
        args.push(bytes.subarray(at, end));
        at = end + 1;
      }
      return { args, input: read('input'), before: read('before'), status: Number(read('status')),
               output: read('output'), errors: read('errors'), after: read('after') };
    });
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

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

function describe(run) {
  return `${JSON.stringify(run.args.map(a => a.toString()))}${run.input.length ? ` < ${JSON.stringify(run.input.toString().slice(0, 40))}` : ''}`;
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
// and the changes, a character cut in two as the native tool shows it (null).
function expectChanges(core) {
  const cases = [
    [sample, ['cntval=25', 'prf=2', 'prfname=Linux Mint'], ['cntval: 10 -> 25', 'prf=2 prfname: "Debian 12" -> "Linux Mint"']],
    [sample, ['stm=menu'], []],
    [sample, ['prf=16', `prfname=a${'é'.repeat(8)}`], null],
    [withByte(sample, 0x288, 9), ['vm=text'], ['vm: stored 9 -> text']],
  ];
  for (const [image, args, expected] of cases) {
    const run = core.run([...args, 'show=changes', 'vornbm.bin'], new Uint8Array(image));
    const { closing, changes } = splitChanges(run.output);
    const lines = expected ?? runNative(image, [...args, 'show=changes'], null).output.toString().split('\n\n').at(-1).split('\n');
    expect(changes.join('\n') === lines.join('\n').trim() && (expected || /\\xc3"$/.test(changes[0])),
           `${args.join(' ')} changes ${JSON.stringify(changes)}`);
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
  const runs = recordedRuns();
  expect(runs.length >= 15, `the end-to-end cases recorded ${runs.length} runs`);
  for (const run of runs) {
    const got = core.run(run.args, new Uint8Array(run.before), run.before.length, new Uint8Array(run.input));
    const differences = [];
    if (got.status !== run.status) differences.push(`status ${got.status}, native ${run.status}`);
    if (!Buffer.from(got.output).equals(run.output)) differences.push(`output:\n${got.text}\nnative:\n${run.output}`);
    if (!Buffer.from(got.errors).equals(run.errors)) differences.push(`errors: ${Buffer.from(got.errors)}, native: ${run.errors}`);
    const after = run.before.length <= 65536 ? Buffer.from(got.image) : run.before;
    if (!after.equals(run.after)) differences.push('the image differs');
    expect(!differences.length, `${describe(run)}: ${differences.join('; ')}`);
  }
  console.log(failures ? `${failures} checks failed` : `the ${runs.length} runs of the end-to-end cases matched in the core, `
    + 'and what the page builds on it holds');
  process.exit(failures ? 1 : 0);
})().catch(error => {
  console.log(`FAIL: ${error.stack}`);
  process.exit(1);
});
