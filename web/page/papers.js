// The papers of the printed page by their --paper spelling: their size in
// points (72 an inch), as the PDF module has them, and in the units @page
// takes, so that the browser prints on exactly that paper.
const mm = 72 / 25.4;

const papers = {
  a4: {width: 210 * mm, height: 297 * mm, css: '210mm 297mm'},
  b5: {width: 176 * mm, height: 250 * mm, css: '176mm 250mm'},
  '16k': {width: 185 * mm, height: 260 * mm, css: '185mm 260mm'},
  a5: {width: 148 * mm, height: 210 * mm, css: '148mm 210mm'},
  letter: {width: 612, height: 792, css: '8.5in 11in'},
};

export const pointsPerMm = mm;

export function paperOf(spelling) {
  return papers[spelling] ?? papers.a4;
}
