'use strict';

// The page over the tool's core. VORNSET_CORE, the core compiled to WebAssembly and
// gzipped, is put before this script when the page is built. Every value is checked
// by the core itself, with its own messages, and every setting's words come from its
// tables (a drive is called by its number, hard disk 1 for 80h): the page only turns
// its form into the tool's arguments, and the tool's answers into the form's words.
// The file works as a classic script, so that the page opens from file://, and in
// node, where the tests load the core from it.

const IMAGE_CAPACITY = 65536;
// What vornset_run returns where it refuses an argument before the run starts.
const ARGUMENTS_TOO_LONG = -1;
const ARGUMENT_HOLDS_NUL = -2;

// The tool's core: one call of run() is one run of the tool on an image in memory.
class VornsetCore {
  static async load(base64 = VORNSET_CORE) {
    const zipped = Uint8Array.from(atob(base64), c => c.charCodeAt(0));
    const unzipped = new Blob([zipped]).stream().pipeThrough(new DecompressionStream('gzip'));
    const bytes = await new Response(unzipped).arrayBuffer();
    const imports = {
      wasi_snapshot_preview1: {
        proc_exit(status) {
          throw new Error(`the core stopped with status ${status}`);
        },
      },
    };
    const { instance } = await WebAssembly.instantiate(bytes, imports);
    instance.exports._initialize();
    return new VornsetCore(instance.exports);
  }

  constructor(exports) {
    this.core = exports;
    this.argumentsCapacity = exports.vornset_arguments_capacity();
  }

  buffer(pointer, length) {
    return new Uint8Array(this.core.memory.buffer, pointer, length);
  }

  // Runs the tool with the arguments (strings, or bytes) on an image of the given
  // length, of which the bytes given are the first 64 KiB at most; input is what
  // standard input holds for load=-. Gives the exit status, what the tool printed
  // and the image as the run left it. Where the core refuses an argument before
  // the run, for a NUL inside it or for arguments longer than it takes, the status
  // is negative and refusedArgument is that argument's index.
  run(args, image, length = image.length, input = new Uint8Array()) {
    const core = this.core;
    const encoder = new TextEncoder();
    const parts = args.map(a => (typeof a === 'string' ? encoder.encode(a) : a));
    const text = this.buffer(core.vornset_arguments(), this.argumentsCapacity);
    const lengths = new Int32Array(core.memory.buffer, core.vornset_argument_lengths(), core.vornset_arguments_most());
    // The bytes go in while they fit; past that the core refuses by the lengths.
    let at = 0;
    parts.slice(0, lengths.length).forEach((part, i) => {
      lengths[i] = part.length;
      if (at + part.length <= text.length) text.set(part, at);
      at += part.length;
    });
    const held = image.subarray(0, IMAGE_CAPACITY);
    this.buffer(core.vornset_image(), held.length).set(held);
    if (input.length > core.vornset_input_capacity()) return this.tooLong(image);
    this.buffer(core.vornset_input(), input.length).set(input);

    const status = core.vornset_run(parts.length, Math.min(length, 0x7fffffff), input.length);
    const output = this.buffer(core.vornset_output(), core.vornset_output_length()).slice();
    const errors = this.buffer(core.vornset_errors(), core.vornset_errors_length()).slice();
    const written = core.vornset_written() === 1;
    const after = written ? this.buffer(core.vornset_image(), held.length).slice() : image.slice();
    const refused = new TextDecoder().decode(this.buffer(core.vornset_refused_key(), core.vornset_refused_key_length()));
    return { status, output, errors, written, image: after, text: new TextDecoder().decode(output), refused,
             refusedArgument: core.vornset_refused_argument() };
  }

  // What standard input held does not fit the core's buffer: the tool's own message,
  // as for a settings file over 64 KiB.
  tooLong(image) {
    const text = 'Error: unable to read settings from -\n';
    return { status: 1, output: new TextEncoder().encode(text), errors: new Uint8Array(), written: false, image, text,
             refused: '', refusedArgument: -1 };
  }

  // What each option takes, words or numbers from lowest to highest, and what the
  // help screen says it sets and takes.
  values() {
    this.core.vornset_describe();
    const output = this.buffer(this.core.vornset_output(), this.core.vornset_output_length());
    return JSON.parse(new TextDecoder().decode(output));
  }
}

// The message that refused a run, without the "ffff" that may come before it.
function refusal(text) {
  return text.replace(/^ffff/, '').replace(/\n+$/, '');
}

function sameBytes(a, b) {
  return a.length === b.length && a.every((byte, i) => byte === b[i]);
}

const hexByte = byte => byte.toString(16).padStart(2, '0');

// Bytes as text: UTF-8 where a character is whole, any other byte as \xNN; with
// controls, a control character as \u00NN too, as the tool's show=changes escapes it.
function bytesAsText(bytes, controls = false) {
  const decoder = new TextDecoder('utf-8', { fatal: true });
  let text = '';
  for (let i = 0; i < bytes.length;) {
    const lead = bytes[i];
    const length = lead < 0x80 ? 1 : lead < 0xc2 ? 0 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : lead < 0xf5 ? 4 : 0;
    let character = null;
    try {
      if (length) character = decoder.decode(bytes.subarray(i, i + length));
    } catch {
      // not a whole character
    }
    const control = controls && character !== null && isControl(character);
    text += control ? `\\u${character.charCodeAt(0).toString(16).padStart(4, '0')}` : character ?? `\\x${hexByte(lead)}`;
    i += character === null ? 1 : length;
  }
  return text;
}

const isControl = text => /[\u0000-\u001f\u007f-\u009f]/.test(text);

// A name as a list shows it: any character that does not print as one of its own
// (a control, a space other than the plain one, a combining mark) escaped, so that
// two names that differ never look alike.
const visibleName = text => text.replace(/(?! )[\p{C}\p{Z}\p{M}]/gu,
  c => `\\u${c.codePointAt(0).toString(16).padStart(4, '0')}`);

// A name as show=changes quotes it, "Caf\u00e9", as a person reads it: each
// character that prints as one of its own unescaped, any other escaped.
const readableName = quoted => visibleName(quoted.replace(/\\(u[0-9a-fA-F]{4}|.)/gs,
  (escape, code) => (code.length === 5 ? String.fromCharCode(parseInt(code.slice(1), 16)) : escape)));

// A run with show=changes prints its closing messages, a blank line and then a line
// for each field it changed, or "no changes". Gives the two apart, the changes
// without "no changes".
function splitChanges(output) {
  let at = output.length - 1;
  while (at > 0 && !(output[at] === 10 && output[at - 1] === 10)) at--;
  const changes = bytesAsText(output.subarray(at + 1)).split('\n').filter(line => line && line !== 'no changes');
  return { closing: new TextDecoder().decode(output.subarray(0, at)), changes };
}

// A word for a POSIX shell: bare where no character in it is special, else in double
// quotes where none of " $ ` \ ! is inside, else in single quotes.
function shellWord(word) {
  if (/^[\w@%+=:,./-]+$/.test(word)) return word;
  if (!/["$`\\!]/.test(word)) return `"${word}"`;
  return `'${word.replace(/'/g, "'\\''")}'`;
}

// A word of bytes that are no UTF-8 text: printf makes them, each such byte given
// in octal.
function bytesWord(bytes) {
  const escaped = { 0x25: '%%', 0x5c: '\\\\', 0x27: "'\\''" };
  const format = [...bytes].map(b => escaped[b] ?? (b >= 0x20 && b < 0x7f ? String.fromCharCode(b)
    : `\\${b.toString(8).padStart(3, '0')}`)).join('');
  return `"$(printf '${format}')"`;
}

const isText = bytes => {
  try {
    new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    return true;
  } catch {
    return false;
  }
};

// An argument as the shell takes it: text, or bytes.
const argumentWord = word => (typeof word === 'string' ? shellWord(word)
  : isText(word) && !isControl(new TextDecoder().decode(word)) ? shellWord(new TextDecoder().decode(word)) : bytesWord(word));

// The commands that make the same edit: one a run, as the tool takes one prf= a run.
function commandLine(runs, file) {
  const path = file.startsWith('-') ? `./${file}` : file;
  return runs.map(args => ['vornset', ...args, path].map(argumentWord).join(' ')).join(' &&\n');
}

// What the tool stores of a name longer than `most` bytes: the whole characters of
// its first `most` bytes, the first bytes of a character cut in two, and the rest.
function cutName(name, most) {
  const bytes = new TextEncoder().encode(name);
  if (bytes.length <= most) return null;
  let whole = most;
  while (whole > 0 && (bytes[whole] & 0xc0) === 0x80) whole--;
  const decode = part => new TextDecoder().decode(part);
  const [split = ''] = decode(bytes.subarray(whole));
  const splitLength = new TextEncoder().encode(split).length;
  return { kept: decode(bytes.subarray(0, whole)), partial: [...bytes.subarray(whole, most)].map(hexByte),
           split, splitLength, dropped: decode(bytes.subarray(whole === most ? most : whole + splitLength)) };
}

// What a person loses of a long name, in letters.
function cutMessage(cut) {
  const lost = cut.partial.length ? cut.split + cut.dropped : cut.dropped;
  return `Too long: the menu keeps "${cut.kept}" and loses ${plural([...lost].length, 'letter')}, "${lost}"`
    + (cut.partial.length ? `; a part of "${cut.split}" still fits, and may show as a stray sign.` : '.');
}

const plural = (count, word) => `${count} ${word}${count === 1 ? '' : 's'}`;

if (typeof module !== 'undefined') {
  module.exports = { VornsetCore, refusal, splitChanges, shellWord, commandLine, cutName, cutMessage, bytesWord, readableName };
}

if (typeof document !== 'undefined') {
  const element = id => document.getElementById(id);
  const page = {
    core: null,
    values: null,
    settings: null, // by key
    profileOptions: null, // by key
    name: '',
    handle: null,
    first: null, // the image as opened, before the first Save
    original: null, // the image as opened or last saved
    edited: null, // that image with the form's changes, while the core takes them all
    runs: [],
    changes: [], // what the form's runs change, as show=changes prints it
    saved: null, // what the last Save wrote, shown until the next change
    pending: false,
    profileChoice: null, // the select of a setting that chooses a profile
    controls: [], // { element, key, profile, initial, error, setting, bytes, force }
  };

  const runOn = (image, args, input, length = image.length) =>
    page.core.run([...args, page.name], image, length, input);
  // The image as the form's valid changes leave it.
  const current = () => page.edited ?? page.original;
  const hex = byte => `${hexByte(byte)}h`;
  const range = (lowest, highest) => Array.from({ length: highest - lowest + 1 }, (_, i) => lowest + i);
  const lowerFirst = text => text.charAt(0).toLowerCase() + text.slice(1);
  // A file's name without and with its extension: "vornbm", ".bin".
  const nameParts = name => /^(.+?)(\.[^.]*)?$/.exec(name).slice(1).map(part => part ?? '');

  function make(tag, className, text) {
    const made = document.createElement(tag);
    if (className) made.className = className;
    if (text !== undefined) made.textContent = text;
    return made;
  }

  function option(value, text = value) {
    const item = make('option', null, text);
    item.value = value;
    return item;
  }

  // A select of [value, text] choices.
  function selectOf(choices) {
    const select = make('select');
    select.append(...choices.map(([value, text]) => option(String(value), text)));
    return select;
  }

  // Chooses a select's value, or, where no choice gives the stored value, a first
  // choice that says it.
  function choose(select, current, stored) {
    if (select.options[0]?.value === '') select.options[0].remove();
    if (current === null) {
      select.prepend(option('', `stored value ${stored}`));
      select.options[0].disabled = true;
    }
    select.value = current === null ? '' : String(current);
  }

  const same = values => values.map(value => [value, value]);
  // A drive as the page calls it: hard disk 1 for 80h.
  const diskOf = drive => `hard disk ${parseInt(drive, 16) - page.values.firstDrive + 1}`;

  function textField() {
    const input = make('input');
    input.type = 'text';
    input.autocomplete = 'off';
    return input;
  }

  // Gives a control the value an image holds, as it was before any change.
  function reset(control, value, stored) {
    const { element: field } = control;
    if (field.tagName === 'SELECT') {
      choose(field, value, stored);
    } else {
      field.value = value === null ? '' : String(value);
      field.placeholder = value === null ? `stored ${stored}` : '';
    }
    Object.assign(control, { initial: field.value, bytes: null, force: false });
  }

  // Any change to a field is checked at once.
  function track(field, key, profile, setting = page.profileOptions.get(key)) {
    field.addEventListener(field.tagName === 'SELECT' ? 'change' : 'input', () => {
      page.saved = null;
      check();
    });
    page.controls.push({ element: field, key, profile, initial: '', error: null, stored: null, setting, bytes: null,
                         force: false });
    return field;
  }

  // A stored name up to its first zero byte.
  function storedName(profile) {
    const bytes = Uint8Array.from(profile.stored.name);
    const end = bytes.indexOf(0);
    return bytes.subarray(0, end < 0 ? bytes.length : end);
  }

  // A name's bytes as its field shows them: text, with a control character as \u00NN
  // and a byte that is no text as \xNN.
  const nameText = bytes => bytesAsText(bytes, true);
  const plainName = bytes => isText(bytes) && !isControl(new TextDecoder().decode(bytes));

  // Puts a name's bytes into its field: where they are no plain text, the field shows
  // them escaped and keeps them for Save while it shows them unchanged.
  function setName(control, bytes) {
    control.bytes = plainName(bytes) ? null : bytes;
    control.element.value = nameText(bytes);
  }

  // What the form calls a control: "Countdown", or "Profile 2, Name".
  const labelOf = control => (control.profile ? `Profile ${control.profile}, ${control.setting.title}` : control.setting.title);

  // A number setting whose values are the profile numbers chooses a profile: from a
  // list of them by number and name.
  const choosesProfile = setting => !setting.words && setting.lowest === 1 && setting.highest === page.values.profiles;

  function settingRow(setting) {
    const { key } = setting;
    let field;
    if (setting.words) {
      field = selectOf(setting.words.map((word, i) => [word, setting.choices?.[i] ?? word]));
    } else if (choosesProfile(setting)) {
      field = selectOf(range(1, page.values.profiles).map(n => [n, `${n}:`]));
      page.profileChoice = field;
    } else {
      field = textField();
      field.inputMode = 'numeric';
      field.size = 6;
    }
    field.id = `setting-${key}`;
    const label = make('label', null, setting.title);
    label.htmlFor = field.id;
    const hint = make('span', 'hint', setting.hint);
    hint.id = `hint-${key}`;
    field.setAttribute('aria-describedby', hint.id);
    const text = make('div', 'text');
    text.append(label, hint);
    const row = make('div', 'setting');
    row.append(text, track(field, key, null, setting));
    return row;
  }

  function profileCell(field, key, n, extra = []) {
    const td = make('td', `field-${key}`);
    field.id = `profile-${n}-${key}`;
    const label = make('label', 'cell-label', page.profileOptions.get(key).title);
    label.htmlFor = field.id;
    label.append(make('span', 'visually-hidden', `, profile ${n}`));
    field.setAttribute('aria-describedby', [`hint-${key}`, ...extra.map(e => e.id)].join(' '));
    td.append(label, track(field, key, n), ...extra);
    return td;
  }

  // Folds a profile's card into its one line, on a narrow screen, or opens it.
  function fold(row, folded) {
    row.classList.toggle('folded', folded);
    row.querySelector('.fold').setAttribute('aria-expanded', String(!folded));
  }

  // A profile's line while its card is folded: its name, disk and partition.
  function summarize(n) {
    const value = key => element(`profile-${n}-${key}`);
    const drive = value('btdrv');
    const text = `${value('prfname').value || 'no name'}, ${drive.options[drive.selectedIndex]?.textContent}, `
      + `partition ${value('btprt').value || 'as stored'}`;
    const summary = element(`summary-${n}`);
    if (summary.textContent !== text) summary.textContent = text;
  }

  function profileRow(n) {
    const { values } = page;
    const drives = range(values.firstDrive, values.firstDrive + values.drives - 1).map(hex);
    const partitions = same(range(values.lowestPartition, values.highestPartition));
    const name = textField();
    name.size = 18;
    name.spellcheck = false;
    const count = make('span', 'count');
    count.id = `profile-${n}-count`;
    const cut = make('span', 'cut');
    cut.id = `profile-${n}-cut`;
    cut.setAttribute('aria-live', 'polite');
    const number = make('th');
    number.scope = 'row';
    const button = make('button', 'fold', `Profile ${n}`);
    button.type = 'button';
    button.id = `fold-${n}`;
    button.append(make('span', 'summary'));
    button.lastChild.id = `summary-${n}`;
    number.append(button, make('span', 'number', String(n)));
    const row = make('tr');
    row.append(
      number,
      profileCell(name, 'prfname', n, [count, cut]),
      profileCell(selectOf(drives.map(drive => [drive, diskOf(drive)])), 'btdrv', n),
      profileCell(selectOf(partitions), 'btprt', n),
      profileCell(selectOf(partitions), 'btlog', n),
    );
    button.addEventListener('click', () => fold(row, !row.classList.contains('folded')));
    return row;
  }

  // Puts an image's values into the form, each as it was before any change, every
  // profile folded.
  function fillForm(shown) {
    for (const control of page.controls) {
      const { key, profile } = control;
      if (profile === null) {
        reset(control, shown.settings[key], shown.stored[key]);
        continue;
      }
      const source = shown.profiles[profile - 1];
      if (key === 'prfname') {
        control.stored = storedName(source);
        setName(control, control.stored);
        control.initial = control.element.value;
        control.force = false;
      } else {
        reset(control, source[key], key === 'btdrv' ? hex(source.stored.drive) : source.stored.partition);
      }
    }
    for (const row of element('profiles').tBodies[0].rows) fold(row, true);
  }

  // The form, built once: each setting and profile with its label and hint, the
  // profiles' column heads, and the names that the command line gives each setting.
  function buildForm() {
    element('settings-rows').replaceChildren(...page.values.settings.map(settingRow));
    element('profiles').tBodies[0].replaceChildren(...range(1, page.values.profiles).map(profileRow));
    const head = element('profiles').tHead.rows[0];
    const hints = [];
    for (const key of ['prfname', 'btdrv', 'btprt', 'btlog']) {
      const { title, hint } = page.profileOptions.get(key);
      const th = make('th', null, title);
      th.scope = 'col';
      head.append(th);
      const described = make('dd', 'hint', hint);
      described.id = `hint-${key}`;
      hints.push(make('dt', null, title), described);
    }
    element('profile-hints').replaceChildren(...hints);
    const rows = [...page.values.settings, ...page.values.profileOptions].map(({ title, key }) => {
      const row = make('tr');
      row.append(make('td', null, title), make('td', null));
      row.lastChild.append(make('code', null, key));
      return row;
    });
    element('keys').tBodies[0].replaceChildren(...rows);
  }

  // What a file that the core refuses as an image is not, and what to open instead.
  function notAnImage(length) {
    const { imageLeast, imageMost } = page.values;
    const needs = 'Open vornbm.bin, the boot manager\'s image, from the disk or USB stick that the boot manager starts from.';
    if (length < imageLeast || length > imageMost) {
      return `${page.name} is not a boot manager image: it is too ${length < imageLeast ? 'small' : 'large'} to be one. `
        + needs;
    }
    return `${page.name} is not an image of the boot manager that this page edits. ${needs} If that is refused too, `
      + 'the boot manager is of an older or newer version: update it and this page first.';
  }

  // Shows the image's settings for editing, or, where the core refuses it, what the
  // file is not, with the tool's message under it. A file too large to hold is given
  // by its length, for the core to refuse.
  function showImage(image, length = image.length) {
    const shown = runOn(image, ['show=json'], undefined, length);
    if (shown.status !== 0) {
      // show=json gives its refusal on standard error alone; the report run, as "vornset FILE" prints it.
      element('image-message').textContent = runOn(image, [], undefined, length).text;
      element('image-sentence').textContent = notAnImage(length);
      element('image-problem').hidden = false;
      element('editor').hidden = true;
      element('keep-copy').hidden = true;
      setPending(false);
      return false;
    }
    element('image-problem').hidden = true;
    page.original = image;
    fillForm(JSON.parse(shown.text));
    element('editor').hidden = false;
    element('json').hidden = true;
    element('show-json').setAttribute('aria-expanded', 'false');
    element('files-problem').hidden = true;
    showKeepCopy();
    check();
    return true;
  }

  function showKeepCopy() {
    element('keep-sentence').textContent = page.first === page.original ? 'Before you change it:'
      : 'As it was before your first Save:';
    element('keep').textContent = `Keep a copy of ${page.name}`;
    element('keep-copy').hidden = false;
  }

  // Asks before another image replaces unsaved changes: true where the person agrees.
  function askToReplace(name) {
    const dialog = element('replace');
    element('replace-question').textContent = `You have ${plural(page.changes.length || page.runs.length, 'unsaved change')} `
      + `to ${page.name}. Opening ${name} drops them.`;
    element('replace-drop').textContent = `Open ${name} and drop them`;
    return new Promise(resolve => {
      const answer = drop => {
        dialog.onclose = null;
        dialog.close();
        resolve(drop);
      };
      element('replace-keep').onclick = () => answer(false);
      element('replace-drop').onclick = () => answer(true);
      dialog.onclose = () => resolve(false);
      dialog.showModal();
    });
  }

  async function openImage(file, handle = null) {
    // The picker may give the same file again, changed on the disk or refused.
    element('image-file').value = '';
    if (page.pending && !(await askToReplace(file.name))) return;
    performance.mark('vornset-chosen');
    page.name = file.name;
    page.handle = handle;
    page.saved = null;
    const bytes = new Uint8Array(await file.slice(0, IMAGE_CAPACITY).arrayBuffer());
    page.first = bytes;
    const shown = showImage(bytes, file.size);
    element('image-name').textContent = shown ? `${file.name}, opened.` : '';
    document.body.dataset.opened = file.name;
    if (!shown) return;
    performance.mark('vornset-shown');
    performance.measure('vornset-open', 'vornset-chosen', 'vornset-shown');
  }

  // A control's option: its text, or the bytes of a name that are no plain text,
  // where it still shows them.
  function argumentOf(control) {
    const { key, element: { value }, bytes } = control;
    if (!bytes || value !== nameText(bytes)) return `${key}=${value}`;
    const prefix = new TextEncoder().encode(`${key}=`);
    const argument = new Uint8Array(prefix.length + bytes.length);
    argument.set(prefix);
    argument.set(bytes, prefix.length);
    return argument;
  }

  const changed = control => control.element.value !== control.initial || control.force;

  // The runs that turn the form into the edited image: the changed settings with the
  // first changed profile, then one run for each other changed profile, as the tool
  // takes one prf= a run. sources[i] is the control that gave args[i].
  function runsOfTheForm() {
    const runs = [];
    for (let n = 0; n <= page.values.profiles; n++) {
      const controls = page.controls.filter(c => (c.profile ?? 0) === n && changed(c));
      if (!controls.length) continue;
      const sources = [...(n ? [null] : []), ...controls];
      const args = [...(n ? [`prf=${n}`] : []), ...controls.map(argumentOf)];
      const last = runs.at(-1);
      if (n && last?.profile === 0) {
        last.profile = n;
        last.controls.push(...controls);
        last.sources.push(...sources);
        last.args.push(...args);
      } else {
        runs.push({ profile: n, controls, sources, args });
      }
    }
    return runs;
  }

  function clearErrors() {
    for (const control of page.controls) {
      if (!control.error) continue;
      control.element.removeAttribute('aria-invalid');
      control.error.remove();
      control.error = null;
      const described = control.element.getAttribute('aria-describedby').replace(/ ?error-\S+/, '');
      control.element.setAttribute('aria-describedby', described);
    }
  }

  // What the page says of a refused value, made from its setting's range or words,
  // and the tool's message, where the tool gave one.
  function messageOf(result, control) {
    if (result.status === ARGUMENT_HOLDS_NUL) {
      return ['This holds an invisible character, a zero byte, that cannot be stored: remove it.', ''];
    }
    if (result.status === ARGUMENTS_TOO_LONG) return ['This is far too long to store: shorten it.', ''];
    return [sentenceOf(control.setting, control.element.value), refusal(result.text)];
  }

  function sentenceOf(setting, value) {
    if (setting.refused && setting.words?.includes(value)) return setting.refused;
    if (setting.words) return `Choose one of: ${(setting.choices ?? setting.words).join(', ')}.`;
    if (setting.highest) return `Choose a number from ${setting.lowest} to ${setting.highest}.`;
    const { firstDrive, drives } = page.values;
    if (setting.key === 'btdrv') return `Choose a hard disk from 1 to ${drives} (${hex(firstDrive)} to ${hex(firstDrive + drives - 1)}).`;
    return `${setting.title}: ${setting.hint}`;
  }

  function showRefusal(control, [sentence, message]) {
    const error = make('div', 'error');
    const said = make('span', null, sentence);
    said.id = `error-${control.key}-${control.profile ?? 0}`;
    error.append(said);
    if (message) {
      const details = make('details', 'tool-message');
      details.append(make('summary', null, 'The tool\'s message'), make('code', null, message));
      error.append(details);
    }
    control.element.setAttribute('aria-invalid', 'true');
    control.element.setAttribute('aria-describedby', `${control.element.getAttribute('aria-describedby')} ${said.id}`);
    control.element.after(error);
    control.error = error;
    control.sentence = sentence;
  }

  // A number is checked as a settings file checks it, digits alone and in its range,
  // by the core reading it as one: the command line would take "1e2" as 1.
  function refuseNumber(control) {
    const { setting, key } = control;
    if (control.profile !== null || setting.words || !setting.highest || control.element.value === control.initial) {
      return false;
    }
    const line = new TextEncoder().encode(`${key}=${control.element.value}\n`);
    const result = runOn(page.original, ['load=-'], line);
    if (result.status === 0) return false;
    showRefusal(control, [sentenceOf(setting, ''), refusal(result.text)]);
    return true;
  }

  // The byte count of each name, the warning where one will be cut, and the names in
  // the list of profiles to choose from. A name left as it was counts as stored.
  function showNames() {
    const most = page.values.nameLength;
    const warnings = [];
    for (const control of page.controls.filter(c => c.key === 'prfname')) {
      const { value } = control.element;
      const n = control.profile;
      const argument = argumentOf(control);
      const bytes = !changed(control) ? control.stored.length
        : typeof argument === 'string' ? new TextEncoder().encode(value).length : control.bytes.length;
      const count = `${bytes} of ${most} bytes`;
      if (element(`profile-${n}-count`).textContent !== count) element(`profile-${n}-count`).textContent = count;
      const cut = changed(control) && typeof argument === 'string' ? cutName(value, most) : null;
      const message = cut ? cutMessage(cut) : '';
      const shown = element(`profile-${n}-cut`);
      if (shown.textContent !== message) shown.textContent = message;
      if (cut) warnings.push(`${labelOf(control)}: ${message}`);
      const choice = page.profileChoice?.querySelector(`option[value="${n}"]`);
      if (choice && choice.textContent !== `${n}: ${value}`) choice.textContent = `${n}: ${value}`;
    }
    element('warnings').replaceChildren(...warnings.map(warning => make('li', null, warning)));
  }

  // A value of show=changes in the form's words: a word as its choice, a drive as its
  // disk, a name with what does not print escaped.
  function valueInWords(key, text) {
    const setting = page.settings.get(key);
    const word = setting?.words?.indexOf(text) ?? -1;
    if (word >= 0 && setting.choices) return setting.choices[word];
    if (/^stored \d+$/.test(text)) return `stored value ${text.slice(7)}`;
    if (key === 'btdrv' && /^8\dh$/.test(text)) return diskOf(text);
    return key === 'prfname' ? readableName(text) : text;
  }

  // A line of show=changes, "prf=2 prfname: "Debian 12" -> "Linux Mint"", by the
  // form's labels: "Profile 2, Name: "Debian 12" → "Linux Mint"".
  function changeInWords(line) {
    const [, n, key, rest] = /^(?:prf=(\d+) )?(\w+): (.*)$/s.exec(line) ?? [];
    const setting = page.settings.get(key) ?? page.profileOptions.get(key);
    const values = key === 'prfname' ? /^("(?:[^"\\]|\\.)*"(?: \([^)]*\))?) -> (.*)$/s.exec(rest)
      : /^(.*?) -> (.*)$/s.exec(rest ?? '');
    if (!setting || !values) return line;
    return `${n ? `Profile ${n}, ` : ''}${setting.title}: ${valueInWords(key, values[1])} → ${valueInWords(key, values[2])}`;
  }

  // The steps after a download, in the person's words.
  function stepsAfterDownload() {
    const [base, extension] = nameParts(page.name);
    return ['Open the folder that your browser puts downloads in.',
      `If the browser named the file otherwise, for example ${base} (1)${extension}, rename it to ${page.name}.`,
      `Copy ${page.name} from there to where you opened it from, on the disk or USB stick that the boot manager `
        + `starts from, and replace the old ${page.name} with it.`];
  }

  // The bar: Save, one sentence of what Save will write or last wrote, or the refused
  // field, with a link to it; under Details, the changes, the command line and, after
  // a Save, what to do next.
  function showReview(refused) {
    const changes = refused ? 0 : page.changes.length;
    const saved = page.saved && !page.runs.length ? page.saved : null;
    const listed = saved ? saved.changes : refused ? [] : page.changes;
    element('changes').replaceChildren(...listed.map(line => make('li', null, changeInWords(line))));
    element('changes-caption').textContent = saved ? 'Saved these changes:' : 'Save will write these changes:';
    element('advice').hidden = !saved;
    element('steps').replaceChildren(...(saved?.downloaded ? stepsAfterDownload() : []).map(step => make('li', null, step)));
    element('steps').hidden = !saved?.downloaded;
    const runs = page.runs.filter(run => run.changes).map(run => run.args);
    element('command').textContent = changes ? commandLine(runs, page.name) : '';
    element('command-box').hidden = changes === 0;
    const cuts = element('warnings').children.length;
    const sentence = refused ? `${labelOf(refused)}: ${lowerFirst(refused.sentence)}`
      : changes ? `${plural(changes, 'change')} to save into ${page.name}${cuts ? `; ${plural(cuts, 'name')} cut` : ''}.`
        : saved ? saved.sentence : 'No changes yet.';
    const bar = element('bar-sentence');
    const link = bar.querySelector('a');
    if (bar.textContent !== sentence || !link !== !refused) {
      if (refused) {
        const go = make('a', null, sentence);
        go.href = `#${refused.element.id}`;
        go.id = 'bar-go';
        bar.replaceChildren(go);
      } else {
        bar.textContent = sentence;
      }
    } else if (refused) {
      link.href = `#${refused.element.id}`;
    }
    element('review').hidden = listed.length === 0 && !saved;
    element('save').disabled = Boolean(refused) || changes === 0;
    element('copied').textContent = '';
  }

  // Takes the person to a field, its profile's card opened, above the bar.
  function goTo(control) {
    const row = control.closest('tr');
    if (row) fold(row, false);
    control.focus({ preventScroll: true });
    control.scrollIntoView({ block: 'center', behavior: 'instant' });
  }

  function askBeforeLeaving(event) {
    event.preventDefault();
    event.returnValue = '';
  }

  function setPending(pending) {
    if (pending === page.pending) return;
    page.pending = pending;
    if (pending) window.addEventListener('beforeunload', askBeforeLeaving);
    else window.removeEventListener('beforeunload', askBeforeLeaving);
  }

  // Runs the core over the form's changes on a copy of the image, each run saying what
  // it changes. The first value it refuses shows its message beside its field, and
  // Save waits until it is mended.
  function check() {
    performance.mark('vornset-change');
    clearErrors();
    page.runs = runsOfTheForm();
    page.changes = [];
    let image = page.original;
    let refused = page.controls.find(refuseNumber) ?? null;
    for (const run of refused ? [] : page.runs) {
      const result = runOn(image, [...run.args, 'show=changes']);
      if (result.status !== 0) {
        refused = run.sources[result.refusedArgument] ?? run.controls.find(c => c.key === result.refused)
          ?? run.controls[0];
        showRefusal(refused, messageOf(result, refused));
        break;
      }
      const { changes } = splitChanges(result.output);
      run.changes = changes.length > 0;
      page.changes.push(...changes);
      image = result.image;
    }
    page.edited = refused ? null : image;
    showNames();
    for (const run of page.runs) {
      if (run.profile) fold(element(`profile-${run.profile}-prfname`).closest('tr'), false);
    }
    if (refused?.profile) fold(refused.element.closest('tr'), false);
    for (let n = 1; n <= page.values.profiles; n++) summarize(n);
    showReview(refused);
    setPending(page.runs.length > 0);
    keepInView();
    performance.mark('vornset-checked');
    performance.measure('vornset-check', 'vornset-change', 'vornset-checked');
  }

  // The field being edited stays above the bar, whatever its height.
  function keepInView(target = document.activeElement) {
    if (!target || !element('editor').contains(target) || element('savebar').contains(target)) return;
    const top = element('savebar').getBoundingClientRect().top;
    const { bottom } = target.getBoundingClientRect();
    if (bottom > top - 8) window.scrollBy({ top: bottom - top + 16, behavior: 'instant' });
  }

  function download(bytes, name, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const link = make('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  // Writes back to the picked file where the browser can, after asking; elsewhere the
  // edited image is downloaded under the same name. Then says what happened and what
  // to do next, and lists what was saved until the next change.
  async function save() {
    const edited = page.edited;
    const changes = page.changes.length;
    if (!edited || !changes) return;
    let sentence;
    const downloaded = !page.handle?.createWritable;
    if (!downloaded) {
      if (!confirm(`Write ${plural(changes, 'change')} into ${page.name}?`)) return;
      const writable = await page.handle.createWritable();
      await writable.write(edited);
      await writable.close();
      sentence = `Saved ${plural(changes, 'change')} into ${page.name} itself: the file you opened holds them now.`;
    } else {
      download(edited, page.name, 'application/octet-stream');
      sentence = `${page.name} is in your browser's downloads: put it in place of the old one.`;
    }
    const saved = { sentence, changes: page.changes, downloaded };
    showImage(edited);
    page.saved = saved;
    showReview(null);
    if (downloaded) element('review').open = true;
    element('bar-sentence').focus();
  }

  async function copyCommand() {
    const command = element('command');
    try {
      await navigator.clipboard.writeText(command.textContent);
      element('copied').textContent = 'Copied.';
    } catch {
      const selection = getSelection();
      selection.selectAllChildren(command);
      element('copied').textContent = 'Selected: press Ctrl+C to copy.';
    }
  }

  function exportSettings() {
    const shown = runOn(current(), ['show=options']);
    download(shown.output, `${nameParts(page.name)[0]}-settings.txt`, 'text/plain');
  }

  function keepCopy() {
    const [base, extension] = nameParts(page.name);
    download(page.first, `${base}-copy${extension}`, 'application/octet-stream');
  }

  // Puts the values of a loaded settings file into the form, as changes to the image
  // as opened; a name is put in only where its bytes change, and then goes into Save
  // as those bytes, even where it reads as the name before.
  function fillLoaded(loaded) {
    const before = JSON.parse(runOn(current(), ['show=json']).text);
    for (const control of page.controls) {
      const { key, profile } = control;
      const source = profile === null ? loaded.settings : loaded.profiles[profile - 1];
      if (key === 'prfname') {
        if (sameBytes(source.stored.name, before.profiles[profile - 1].stored.name)) continue;
        setName(control, storedName(source));
        control.force = true;
      } else if (source[key] !== null) {
        control.element.value = String(source[key]);
      }
    }
  }

  // Why the core refused a settings file, in one sentence: its line, the setting's
  // label and what it takes.
  function fileRefusal(file, message, input) {
    const [, line, what, reason] = /^Parameter error: load, line (\d+): (.+?), (.*)$/s.exec(message) ?? [];
    if (!line) return `${file} is refused, and nothing in the form changed: it is no settings file that the page can read.`;
    const key = what.replace(/^.*[.\]]/, '');
    const setting = page.settings.get(key) ?? page.profileOptions.get(key);
    const said = new TextDecoder().decode(input).split(/\r?\n/)[line - 1] ?? '';
    const given = said.startsWith(`${key}=`) ? ` gives ${setting?.title ?? key} the value "${said.slice(key.length + 1)}", and` : '';
    const suggested = / did you mean (\w+)\?$/.exec(reason)?.[1];
    let why;
    if (suggested) {
      const meant = page.settings.get(suggested) ?? page.profileOptions.get(suggested);
      why = ` names "${key}", which is no setting: perhaps ${meant?.title ?? suggested} (${suggested}) was meant.`;
    } else if (/^no such (option|key)$/.test(reason)) {
      why = ` names "${key}", which is no setting.`;
    } else if (/'prf' must be set$/.test(reason)) {
      why = ` sets a profile's ${setting?.title ?? key} before any line says which profile, with prf=1 to prf=16.`;
    } else if ((setting?.words || setting?.highest || key === 'btdrv') && /^only |without parameter|alowed$/.test(reason)) {
      const takes = lowerFirst(sentenceOf(setting, '').replace(/^Choose/, 'takes'));
      why = given ? `${given} it ${takes}` : `: ${setting.title} ${takes}`;
    } else if (/^hidden mode/.test(reason)) {
      why = `: ${lowerFirst(page.settings.get('stm').refused)}`;
    } else {
      why = `: ${setting?.title ?? key}, ${reason}.`;
    }
    return `${file} is refused, and nothing in the form changed: line ${line}${why}`;
  }

  async function loadSettings(file) {
    const input = new Uint8Array(await file.arrayBuffer());
    const loaded = runOn(current(), ['load=-'], input);
    element('files-message').textContent = loaded.status === 0 ? '' : refusal(loaded.text);
    element('files-sentence').textContent = loaded.status === 0 ? '' : fileRefusal(file.name, refusal(loaded.text), input);
    element('files-problem').hidden = loaded.status === 0;
    if (loaded.status !== 0) return;
    fillLoaded(JSON.parse(runOn(loaded.image, ['show=json']).text));
    page.saved = null;
    check();
  }

  function toggleJson() {
    const json = element('json');
    json.hidden = !json.hidden;
    json.textContent = json.hidden ? '' : runOn(current(), ['show=json']).text;
    element('show-json').setAttribute('aria-expanded', String(!json.hidden));
  }

  function reportFailure(error) {
    element('image-sentence').textContent = `The page failed: ${error.message}`;
    element('image-message').textContent = '';
    element('image-problem').hidden = false;
  }

  async function pickImage(event) {
    event.preventDefault();
    try {
      const [handle] = await window.showOpenFilePicker();
      await openImage(await handle.getFile(), handle);
    } catch (error) {
      if (error.name !== 'AbortError') reportFailure(error);
    }
  }

  async function dropImage(event) {
    event.preventDefault();
    element('drop').classList.remove('over');
    const item = event.dataTransfer.items?.[0];
    const handle = item?.getAsFileSystemHandle ? await item.getAsFileSystemHandle() : null;
    const file = handle?.kind === 'file' ? await handle.getFile() : event.dataTransfer.files[0];
    if (file) await openImage(file, handle?.kind === 'file' ? handle : null);
  }

  async function start() {
    page.core = await VornsetCore.load();
    page.values = page.core.values();
    page.settings = new Map(page.values.settings.map(entry => [entry.key, entry]));
    page.profileOptions = new Map(page.values.profileOptions.map(entry => [entry.key, entry]));
    buildForm();
    element('version').textContent = page.core.run(['--version'], new Uint8Array()).text.split('\n')[0];
    const imageFile = element('image-file');
    imageFile.addEventListener('change', () => imageFile.files[0] && openImage(imageFile.files[0]).catch(reportFailure));
    if (window.showOpenFilePicker) imageFile.addEventListener('click', pickImage);
    document.addEventListener('dragover', event => {
      event.preventDefault();
      element('drop').classList.add('over');
    });
    document.addEventListener('dragleave', () => element('drop').classList.remove('over'));
    document.addEventListener('drop', event => dropImage(event).catch(reportFailure));
    element('editor').addEventListener('submit', event => event.preventDefault());
    element('save').addEventListener('click', () => save().catch(reportFailure));
    element('copy').addEventListener('click', () => copyCommand());
    element('export').addEventListener('click', exportSettings);
    element('keep').addEventListener('click', keepCopy);
    element('bar-sentence').addEventListener('click', event => {
      const target = event.target.closest('a');
      if (!target) return;
      event.preventDefault();
      goTo(element(target.getAttribute('href').slice(1)));
    });
    const settingsFile = element('settings-file');
    settingsFile.addEventListener('change', () => {
      if (settingsFile.files[0]) loadSettings(settingsFile.files[0]).catch(reportFailure);
      settingsFile.value = '';
    });
    element('show-json').addEventListener('click', toggleJson);
    // The list of changes is open where there is room for it beside the form.
    element('review').open = matchMedia('(min-width: 48rem) and (min-height: 40rem)').matches;
    element('replace').addEventListener('cancel', () => element('replace').close());
    // Whatever the bar covers, focus moves into view above it; and the bar holds no
    // more than a quarter of the window, its details scrolling within.
    const fitBar = () => {
      const body = element('review-body');
      const rest = element('savebar').getBoundingClientRect().height - body.getBoundingClientRect().height;
      body.style.maxHeight = `${Math.max(0, Math.floor(innerHeight / 4 - rest))}px`;
    };
    new ResizeObserver(([entry]) => {
      document.documentElement.style.setProperty('--bar-height', `${Math.ceil(entry.borderBoxSize[0].blockSize)}px`);
      fitBar();
      keepInView();
    }).observe(element('savebar'));
    addEventListener('resize', fitBar);
    element('review').addEventListener('toggle', () => {
      fitBar();
      keepInView();
    });
    document.addEventListener('focusin', event => keepInView(event.target));
    document.body.dataset.ready = 'true';
  }

  start().catch(reportFailure);
}
