// The text sheets as files, byte for byte as the engine wrote them (UTF-8,
// as the command line writes them with --encoding UTF-8); a set in one zip.

const sheetName = (tag, answers) => `速算答题${tag ? `-${tag}` : ''}${answers ? '-答案' : ''}.txt`;

export function save(name, blob) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60_000);
}

export function saveSheet(sheet, answers) {
  const text = answers ? sheet.answer : sheet.question;
  save(sheetName(sheet.tag, answers), new Blob([text], {type: 'text/plain;charset=utf-8'}));
}

// Every sheet's pair in one zip, loaded only when a set is saved.
export async function saveSet(sheets) {
  const {zipSync, strToU8} = await import('./fflate.js');
  const files = {};
  for (const sheet of sheets) {
    files[sheetName(sheet.tag, false)] = strToU8(sheet.question);
    files[sheetName(sheet.tag, true)] = strToU8(sheet.answer);
  }
  // Made on Unix with the usual file mode: the names are UTF-8, and unzip
  // reads them as such only from a Unix archive, not from an MS-DOS one.
  save('速算答题.zip', new Blob([zipSync(files, {os: 3, attrs: 0o100644 * 65536})], {type: 'application/zip'}));
}
