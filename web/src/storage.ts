// The browser's storage: CONFIG.INI as its file's bytes, one character per byte, and the
// face's own choices. Every tab of the program shares them, so each re-reads what is stored
// before it writes and writes only what it changed. Storage that is full or blocked (private
// mode) is reported once per failing write; the program keeps the values in memory and goes on.

const CONFIG_KEY = "vaporia.CONFIG.INI";
const PREFS_KEY = "vaporia.prefs";

export interface Prefs {
  zoom: number; // 0: fit the screen, else 100, 150, 200
  dataBook: boolean;
  legend: boolean;  // the legend shown over the graph
  markers: boolean; // the colour-vision choice of markers
}

const DEFAULT_PREFS: Prefs = { zoom: 0, dataBook: false, legend: false, markers: false };

export function isOwnKey(key: string | null): boolean {
  return key === null || key === CONFIG_KEY || key === PREFS_KEY; // null: the storage was cleared
}

export class Store {
  config = new Uint8Array(0);
  prefs: Prefs = { ...DEFAULT_PREFS };
  readFailed = false;
  // A stored entry could not be read and its defaults are in use.
  damaged = false;

  // check: the bytes to use for stored CONFIG.INI bytes, or null when they are no settings file.
  constructor(private readonly check: (bytes: Uint8Array) => Uint8Array | null) {
    this.reload();
  }

  // Takes in what is stored now, another tab's saves included; says which part changed.
  reload(): { config: boolean; prefs: boolean } {
    let config: string | null, prefs: string | null;
    try {
      config = window.localStorage.getItem(CONFIG_KEY);
      prefs = window.localStorage.getItem(PREFS_KEY);
    } catch {
      this.readFailed = true;
      return { config: false, prefs: false };
    }
    const c = this.readConfig(config), p = this.readPrefs(prefs);
    const changed = {
      config: !sameBytes(c, this.config),
      prefs: (Object.keys(p) as (keyof Prefs)[]).some((k) => p[k] !== this.prefs[k]),
    };
    this.config = c;
    this.prefs = p;
    return changed;
  }

  // Returns false when the bytes could not be stored; they are kept in memory all the same.
  saveConfig(bytes: Uint8Array): boolean {
    this.config = bytes;
    return write(CONFIG_KEY, toStored(bytes));
  }

  // One choice, into the choices stored now: another tab's choice stays.
  savePref<K extends keyof Prefs>(key: K, value: Prefs[K]): boolean {
    this.prefs[key] = value;
    let stored: Prefs = this.prefs;
    try {
      const text = window.localStorage.getItem(PREFS_KEY);
      if (text) stored = parsePrefs(text) ?? this.prefs;
    } catch {
      // written from memory below, or reported as failed
    }
    return write(PREFS_KEY, JSON.stringify({ ...stored, [key]: value }));
  }

  private readConfig(text: string | null): Uint8Array {
    if (!text) return new Uint8Array(0);
    const bytes = fromStored(text);
    const kept = bytes && this.check(bytes);
    if (kept) return kept;
    this.damaged = true;
    return new Uint8Array(0);
  }

  private readPrefs(text: string | null): Prefs {
    if (!text) return { ...DEFAULT_PREFS };
    const p = parsePrefs(text);
    if (p) return p;
    this.damaged = true;
    return { ...DEFAULT_PREFS };
  }
}

function write(key: string, value: string): boolean {
  try {
    window.localStorage.setItem(key, value);
    return true;
  } catch {
    return false;
  }
}

// Null when the text is not what this program stores; a choice it lacks is the default.
function parsePrefs(text: string): Prefs | null {
  let v: any;
  try {
    v = JSON.parse(text);
  } catch {
    return null;
  }
  if (!v || typeof v !== "object" || Array.isArray(v)) return null;
  const zoom = v.zoom ?? 0, dataBook = v.dataBook ?? false, legend = v.legend ?? false, markers = v.markers ?? false;
  if (![0, 100, 150, 200].includes(zoom) || [dataBook, legend, markers].some((b) => typeof b !== "boolean")) return null;
  return { zoom, dataBook, legend, markers };
}

function toStored(bytes: Uint8Array): string {
  let s = "";
  for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return s;
}

// Null when a character is beyond a byte: not what this program stores.
function fromStored(text: string): Uint8Array | null {
  const out = new Uint8Array(text.length);
  for (let i = 0; i < text.length; i++) {
    const c = text.charCodeAt(i);
    if (c > 0xff) return null;
    out[i] = c;
  }
  return out;
}

function sameBytes(a: Uint8Array, b: Uint8Array): boolean {
  return a.length === b.length && a.every((v, i) => v === b[i]);
}

export const STORAGE_FAILED =
  "設定をブラウザーに保存できませんでした（保存領域が一杯か、プライベートモードで保存が禁止されています）。\n" +
  "このページを閉じるまでは、今の設定のまま使えます。";
export const STORAGE_READ_FAILED =
  "ブラウザーの保存領域を読めません（プライベートモードなど）。既定の設定で動きます。設定はこのページを閉じるまで有効です。";
export const STORAGE_DAMAGED =
  "ブラウザーに保存されていた設定が壊れていたため、既定の設定で動きます。設定を保存し直すと直ります。";
