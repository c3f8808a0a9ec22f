// The window's own words. The plug-in speaks Japanese, and so does the
// window around it, in the wording of a Japanese desktop drawing program;
// a browser whose first language is English gets English.
const ja = {
  lang: 'ja',
  title: 'Orbalis ワークベンチ',
  menus: { File: 'ファイル', Edit: '編集', Object: 'オブジェクト', Window: 'ウィンドウ', Help: 'ヘルプ' },
  undo: '取り消し', undoWhat: (c) => `「${c}」を取り消す (Ctrl+Z)`, nothingToUndo: '取り消せる操作はありません',
  open: '開く...', upload: 'アップロード...', saveAs: '別名で保存...', dark: 'ダーク',
  download: 'ダウンロード', layers: 'レイヤー', panels: 'パネル', documents: 'ドキュメント',
  fit: '全体', zoomIn: 'ズームイン', zoomOut: 'ズームアウト',
  show: '表示', hide: '非表示', lock: 'ロック', unlock: 'ロック解除',
  close: '閉じる', closeDocument: (t) => `「${t}」を閉じる`, unsaved: '未保存の変更があります',
  cancel: 'キャンセル', cancelling: 'キャンセル中...', yes: 'はい', no: 'いいえ', ok: 'OK',
  running: (c) => `「${c}」を実行中...`,
  fileName: 'ファイル名:', place: '場所:', choose: { open: '開く', save: '保存' },
  replace: (n) => `「${n}」は既に存在します。\n置き換えますか?`,
  closeUnsaved: (n) => `「${n}」には保存されていない変更があります。\n保存せずに閉じますか?`,
  notices: {
    opened: (a) => `「${a.name}」を開きました`,
    saved: (a) => `「${a.name}」を保存しました`,
    wrote: (a) => `「${a.name}」に書き出しました`,
    undone: (a) => `「${a.command}」を取り消しました`,
    cancelled: (a) => `「${a.command}」はキャンセルされました`,
    failed: (a) => `「${a.command}」はエラーで終了しました (コード ${a.code})`,
    closed: (a) => `「${a.name}」を閉じました`,
  },
  failures: { save: '保存できませんでした', open: '開けませんでした', upload: 'アップロードできませんでした', other: '実行できませんでした' },
  staleTree: '別のドキュメントのレイヤーです。「レイヤーリストを更新」を押してください。',
  emptyTree: '「レイヤーリストを更新」を押すと、このドキュメントのレイヤーが表示されます。',
  movedToBottom: '移動したオブジェクトはレイヤーの最背面に置かれます。',
  progressOf: (v, m) => `${v} / ${m}`,
  aboutLink: (u) => `Web サイト: ${u}`,
  origins: ['横書き: 左揃え', '横書き: 中央揃え', '横書き: 右揃え', '縦書き: 上揃え', '縦書き: 中央揃え', '縦書き: 下揃え'],
  selected: (n) => `${n} 個のオブジェクトを選択`,
};

const en = {
  lang: 'en',
  title: 'Orbalis workbench',
  menus: { File: 'File', Edit: 'Edit', Object: 'Object', Window: 'Window', Help: 'Help' },
  undo: 'Undo', undoWhat: (c) => `Undo "${c}" (Ctrl+Z)`, nothingToUndo: 'Nothing to undo',
  open: 'Open...', upload: 'Upload...', saveAs: 'Save As...', dark: 'Dark',
  download: 'Download', layers: 'Layers', panels: 'Panels', documents: 'Documents',
  fit: 'Fit', zoomIn: 'Zoom in', zoomOut: 'Zoom out',
  show: 'Show', hide: 'Hide', lock: 'Lock', unlock: 'Unlock',
  close: 'Close', closeDocument: (t) => `Close "${t}"`, unsaved: 'Has unsaved changes',
  cancel: 'Cancel', cancelling: 'Cancelling...', yes: 'Yes', no: 'No', ok: 'OK',
  running: (c) => `Running "${c}"...`,
  fileName: 'File name:', place: 'Folder:', choose: { open: 'Open', save: 'Save' },
  replace: (n) => `"${n}" already exists.\nReplace it?`,
  closeUnsaved: (n) => `"${n}" has unsaved changes.\nClose it without saving?`,
  notices: {
    opened: (a) => `Opened "${a.name}"`,
    saved: (a) => `Saved "${a.name}"`,
    wrote: (a) => `Wrote "${a.name}"`,
    undone: (a) => `Undid "${a.command}"`,
    cancelled: (a) => `"${a.command}" was cancelled`,
    failed: (a) => `"${a.command}" ended with an error (code ${a.code})`,
    closed: (a) => `Closed "${a.name}"`,
  },
  failures: { save: 'Could not save', open: 'Could not open', upload: 'Could not upload', other: 'Could not do that' },
  staleTree: 'These are the layers of another document: press "レイヤーリストを更新" to list this one.',
  emptyTree: 'Press "レイヤーリストを更新" to list the layers of this document.',
  movedToBottom: 'Moved objects go to the bottom of the layer.',
  progressOf: (v, m) => `${v} / ${m}`,
  aboutLink: (u) => `Web site: ${u}`,
  origins: ['Horizontal: start', 'Horizontal: centre', 'Horizontal: end', 'Vertical: top', 'Vertical: middle', 'Vertical: bottom'],
  selected: (n) => `${n} objects selected`,
};

export const words = /^en\b/i.test(navigator.languages?.[0] || navigator.language || '') ? en : ja;

// Puts the words into the page's fixed parts (those with data-word).
export function wordPage() {
  document.documentElement.lang = words.lang;
  document.title = words.title;
  for (const e of document.querySelectorAll('[data-word]')) e.textContent = words[e.dataset.word];
  for (const e of document.querySelectorAll('[data-title-word]')) {
    e.title = words[e.dataset.titleWord];
    e.setAttribute('aria-label', words[e.dataset.titleWord]);
  }
}
