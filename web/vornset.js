'use strict';

// The page over the tool's core. VORNSET_CORE, the core compiled to WebAssembly, is
// put before this script when the page is built. Every value is checked by the core
// itself, with its own messages: the page only turns its form into the tool's
// arguments. The file works as a classic script, so that the page opens from file://,
// and in node, where the tests load the core from it.

const IMAGE_CAPACITY = 65536;
// What vornset_run returns where it refuses an argument before the run starts.
const ARGUMENTS_TOO_LONG = -1;
const ARGUMENT_HOLDS_NUL = -2;

// The tool's core: one call of run() is one run of the tool on an image in memory.
class VornsetCore {
  static async load(base64 = VORNSET_CORE) {
    const bytes = Uint8Array.from(atob(base64), c => c.charCodeAt(0));
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

if (typeof module !== 'undefined') module.exports = { VornsetCore, refusal };

if (typeof document !== 'undefined') {
  const element = id => document.getElementById(id);
  const page = {
    core: null,
    values: null,
    profileOptions: null, // by key
    name: '',
    handle: null,
    original: null, // the image as opened or last saved
    base: null, // that image with the settings files loaded since
    baseOutput: '',
    edited: null, // the base with the form's changes, while they are valid
    closing: '',
    controls: [], // { element, key, profile, initial, error }
  };

  const runOn = (image, args, input, length = image.length) =>
    page.core.run([...args, page.name], image, length, input);
  // The image as the form's valid changes leave it.
  const current = () => page.edited ?? page.base;

  function option(value, text = value) {
    const item = document.createElement('option');
    item.value = value;
    item.textContent = text;
    return item;
  }

  // A select of the values an option gives, with the stored one where none gives it.
  function selectOf(choices, current, stored) {
    const select = document.createElement('select');
    select.append(...choices.map(choice => option(String(choice))));
    if (current === null) {
      select.prepend(option('', `stored value ${stored}`));
      select.options[0].disabled = true;
    }
    select.value = current === null ? '' : String(current);
    return select;
  }

  function textOf(current, stored) {
    const input = document.createElement('input');
    input.type = 'text';
    input.inputMode = 'numeric';
    input.size = 6;
    input.value = current === null ? '' : String(current);
    if (current === null) input.placeholder = `stored ${stored}`;
    return input;
  }

  function track(control, key, profile) {
    const entry = { element: control, key, profile, initial: control.value, error: null };
    control.addEventListener(control.tagName === 'SELECT' ? 'change' : 'input', check);
    page.controls.push(entry);
    return control;
  }

  function settingRow(setting, settings, stored) {
    const row = document.createElement('div');
    row.className = 'row';
    const control = setting.words
      ? selectOf(setting.words, settings[setting.key], stored[setting.key])
      : textOf(settings[setting.key], stored[setting.key]);
    control.id = `setting-${setting.key}`;
    const label = document.createElement('label');
    label.htmlFor = control.id;
    label.textContent = `${setting.sets} (${setting.key})`;
    const values = document.createElement('span');
    values.className = 'values';
    values.id = `values-${setting.key}`;
    values.textContent = setting.values;
    control.setAttribute('aria-describedby', values.id);
    row.append(label, track(control, setting.key, null), values);
    return row;
  }

  function cell(control, label) {
    const td = document.createElement('td');
    control.setAttribute('aria-label', label);
    td.append(control);
    return td;
  }

  function profileRow(profile) {
    const values = page.values;
    const n = profile.prf;
    const drives = Array.from({ length: values.drives }, (_, i) => `8${i}h`);
    const partitions = Array.from({ length: values.highestPartition - values.lowestPartition + 1 },
                                  (_, i) => values.lowestPartition + i);
    const name = document.createElement('input');
    name.type = 'text';
    name.size = 18;
    const bytes = Uint8Array.from(profile.stored.name);
    const end = bytes.indexOf(0);
    name.value = new TextDecoder().decode(bytes.subarray(0, end < 0 ? bytes.length : end));
    name.setAttribute('aria-describedby', 'name-hint');
    const row = document.createElement('tr');
    const number = document.createElement('th');
    number.scope = 'row';
    number.textContent = n;
    const label = key => `${page.profileOptions.get(key).sets}, profile ${n}`;
    row.append(
      number,
      cell(track(name, 'prfname', n), label('prfname')),
      cell(track(selectOf(drives, profile.btdrv, hex(profile.stored.drive)), 'btdrv', n), label('btdrv')),
      cell(track(selectOf(partitions, profile.btprt, profile.stored.partition), 'btprt', n), label('btprt')),
      cell(track(selectOf(partitions, profile.btlog, profile.stored.partition), 'btlog', n), label('btlog')),
    );
    return row;
  }

  const hex = byte => `${byte.toString(16).padStart(2, '0')}h`;

  function buildForm(settings) {
    page.controls = [];
    element('settings-rows').replaceChildren(
      ...page.values.settings.map(setting => settingRow(setting, settings.settings, settings.stored)));
    const head = element('profiles').tHead.rows[0];
    head.replaceChildren(head.cells[0]);
    for (const key of ['prfname', 'btdrv', 'btprt', 'btlog']) {
      const th = document.createElement('th');
      th.scope = 'col';
      th.textContent = `${page.profileOptions.get(key).sets} (${key})`;
      head.append(th);
    }
    element('profiles').tBodies[0].replaceChildren(...settings.profiles.map(profileRow));
  }

  // Shows the image's settings for editing, or the tool's message where it refuses it.
  // A file too large to hold is given by its length, for the core to refuse.
  function showImage(image, output, length = image.length) {
    const shown = runOn(image, ['show=json'], undefined, length);
    const message = element('image-message');
    if (shown.status !== 0) {
      message.textContent = shown.text;
      message.hidden = false;
      element('editor').hidden = true;
      return false;
    }
    message.hidden = true;
    page.base = image;
    page.baseOutput = output;
    buildForm(JSON.parse(shown.text));
    element('editor').hidden = false;
    element('json').hidden = true;
    element('show-json').setAttribute('aria-expanded', 'false');
    check();
    return true;
  }

  async function openImage(file, handle = null) {
    performance.mark('vornset-chosen');
    page.name = file.name;
    page.handle = handle;
    element('image-name').textContent = `${file.name}, ${file.size} bytes`;
    element('result').textContent = '';
    const bytes = new Uint8Array(await file.slice(0, IMAGE_CAPACITY).arrayBuffer());
    page.original = bytes;
    if (!showImage(bytes, '', file.size)) return;
    performance.mark('vornset-shown');
    performance.measure('vornset-open', 'vornset-chosen', 'vornset-shown');
  }

  // The runs that turn the form into the edited image: the changed settings in one,
  // then one for each changed profile, as the command line changes one at a time.
  function runsOfTheForm() {
    const changed = page.controls.filter(c => c.element.value !== c.initial);
    const globals = changed.filter(c => c.profile === null);
    const runs = globals.length ? [{ profile: null, controls: globals }] : [];
    for (let n = 1; n <= page.values.profiles; n++) {
      const controls = changed.filter(c => c.profile === n);
      if (controls.length) runs.push({ profile: n, controls });
    }
    return runs.map(run => ({
      ...run,
      args: [...(run.profile ? [`prf=${run.profile}`] : []), ...run.controls.map(c => `${c.key}=${c.element.value}`)],
    }));
  }

  function clearErrors() {
    for (const control of page.controls) {
      control.element.removeAttribute('aria-invalid');
      control.error?.remove();
      control.error = null;
      const values = control.element.getAttribute('aria-describedby')?.replace(/ ?error-\S+/, '');
      if (values) control.element.setAttribute('aria-describedby', values);
      else control.element.removeAttribute('aria-describedby');
    }
  }

  // The control of the option that the core refused, by its key.
  function refusedControl(run, key) {
    return run.controls.find(c => c.key === key) ?? run.controls[0];
  }

  function messageOf(result, control) {
    if (result.status === ARGUMENT_HOLDS_NUL) return 'This value holds a NUL character, which the tool cannot take.';
    if (result.status === ARGUMENTS_TOO_LONG) {
      const bytes = new TextEncoder().encode(control.element.value).length;
      return `This value is too long: it has ${bytes} bytes, and the tool here takes `
        + `${page.core.argumentsCapacity} bytes of options at most.`;
    }
    return refusal(result.text);
  }

  function showRefusal(control, message) {
    const error = document.createElement('span');
    error.className = 'error';
    error.id = `error-${control.key}-${control.profile ?? 0}`;
    error.textContent = message;
    control.element.setAttribute('aria-invalid', 'true');
    const described = control.element.getAttribute('aria-describedby');
    control.element.setAttribute('aria-describedby', described ? `${described} ${error.id}` : error.id);
    control.element.after(error);
    control.error = error;
  }

  // Runs the core over the form's changes on a copy of the image. The first value it
  // refuses shows its message beside its field, and Save waits until it is mended.
  function check() {
    performance.mark('vornset-change');
    clearErrors();
    let image = page.base;
    let output = page.baseOutput;
    page.edited = null;
    for (const run of runsOfTheForm()) {
      const result = runOn(image, run.args);
      if (result.status !== 0) {
        const control = result.status < 0 ? run.controls[result.refusedArgument - (run.profile ? 1 : 0)] ?? run.controls[0]
          : refusedControl(run, result.refused);
        showRefusal(control, messageOf(result, control));
        element('save').disabled = true;
        return;
      }
      image = result.image;
      output = result.text;
    }
    page.edited = image;
    page.closing = output;
    element('save').disabled = sameBytes(image, page.original);
    performance.mark('vornset-checked');
    performance.measure('vornset-check', 'vornset-change', 'vornset-checked');
  }

  function download(bytes, name, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  // Writes back to the picked file where the browser can, after asking; elsewhere the
  // edited image is downloaded under the same name. Then shows the closing messages.
  async function save() {
    const edited = page.edited;
    if (!edited) return;
    if (page.handle?.createWritable) {
      if (!confirm(`Write the changed settings into ${page.name}?`)) return;
      const writable = await page.handle.createWritable();
      await writable.write(edited);
      await writable.close();
    } else {
      download(edited, page.name, 'application/octet-stream');
    }
    element('result').textContent = page.closing;
    page.original = edited;
    showImage(edited, '');
  }

  function exportSettings() {
    const shown = runOn(current(), ['show=options']);
    download(shown.output, `${page.name.replace(/\.[^.]*$/, '')}-settings.txt`, 'text/plain');
  }

  async function loadSettings(file) {
    const input = new Uint8Array(await file.arrayBuffer());
    const loaded = runOn(current(), ['load=-'], input);
    element('result').textContent = loaded.status === 0 ? '' : loaded.text;
    if (loaded.status === 0) showImage(loaded.image, loaded.text);
  }

  function toggleJson() {
    const json = element('json');
    json.hidden = !json.hidden;
    json.textContent = json.hidden ? '' : runOn(current(), ['show=json']).text;
    element('show-json').setAttribute('aria-expanded', String(!json.hidden));
  }

  function reportFailure(error) {
    element('image-message').textContent = `The page failed: ${error.message}`;
    element('image-message').hidden = false;
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
    page.profileOptions = new Map(page.values.profileOptions.map(option => [option.key, option]));
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
    element('save').addEventListener('click', () => save().catch(reportFailure));
    element('export').addEventListener('click', exportSettings);
    const settingsFile = element('settings-file');
    settingsFile.addEventListener('change', () => {
      if (settingsFile.files[0]) loadSettings(settingsFile.files[0]).catch(reportFailure);
      settingsFile.value = '';
    });
    element('show-json').addEventListener('click', toggleJson);
    document.body.dataset.ready = 'true';
  }

  start().catch(reportFailure);
}
