// The browser's storage: CONFIG.INI as text and the face's own choices. Storage that is
// full or blocked (private mode) is reported once per failing write; the program keeps
// the values in memory and goes on.

const CONFIG_KEY = "vaporia.CONFIG.INI";
const PREFS_KEY = "vaporia.prefs";

export interface Prefs {
  zoom: number; // 0: fit the screen, else 100, 150, 200
  dataBook: boolean;
}

export class Store {
  config = "";
  prefs: Prefs = { zoom: 0, dataBook: false };
  readFailed = false;

  constructor() {
    try {
      this.config = window.localStorage.getItem(CONFIG_KEY) ?? "";
      const p = window.localStorage.getItem(PREFS_KEY);
      if (p) this.prefs = parsePrefs(p);
    } catch {
      this.readFailed = true;
    }
  }

  // Returns false when the text could not be stored; it is kept in memory all the same.
  saveConfig(text: string): boolean {
    this.config = text;
    return write(CONFIG_KEY, text);
  }

  savePrefs(): boolean {
    return write(PREFS_KEY, JSON.stringify(this.prefs));
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

function parsePrefs(text: string): Prefs {
  const out: Prefs = { zoom: 0, dataBook: false };
  try {
    const v = JSON.parse(text);
    if (v && [0, 100, 150, 200].includes(v.zoom)) out.zoom = v.zoom;
    if (v && typeof v.dataBook === "boolean") out.dataBook = v.dataBook;
  } catch {
    // a damaged entry gives the defaults
  }
  return out;
}

export const STORAGE_FAILED =
  "設定をブラウザーに保存できませんでした（保存領域が一杯か、プライベートモードで保存が禁止されています）。\n" +
  "このページを閉じるまでは、今の設定のまま使えます。";
export const STORAGE_READ_FAILED =
  "ブラウザーの保存領域を読めません（プライベートモードなど）。既定の設定で動きます。設定はこのページを閉じるまで有効です。";
