// The sheets on screen as their printed pages, in the order they print:
// the question pages of every sheet, then their answer pages. Each page is
// a box of the paper's shape from the start, drawn only while it is near the
// view, so that a sheet of thousands of problems opens at once and keeps
// the page light; printing draws every page. On screen the paper is scaled
// to the box's width; on paper it is its own size.

import {paperOf} from './papers.js';
import {fewerNote, pageCount, planSheet} from './plan.js';
import {pageDrawing, pageHtml} from './draw.js';

export class SheetPages {
  constructor(container, pageStyle) {
    this.container = container;
    this.pageStyle = pageStyle;
    this.pages = [];
    this.observer = typeof IntersectionObserver === 'function'
      ? new IntersectionObserver((entries) => this.drawSeen(entries), {rootMargin: '150% 0px'})
      : null;
    new ResizeObserver(() => this.fit()).observe(container);
  }

  // The paper scaled to the width of a page's box.
  fit() {
    const box = this.pages[0]?.box;
    if (box)
      this.container.style.setProperty('--fit', String(box.clientWidth / (this.paperWidth * 4 / 3)));
  }

  // Lays the model's sheets out and draws the first page; returns the notes
  // on fewer problems a row, once each.
  show(model) {
    this.observer?.disconnect();
    const {page: style, sheets} = model;
    const paper = paperOf(style.paper);
    this.paperWidth = paper.width;
    this.pageStyle.textContent =
      `@page { size: ${paper.css}; margin: 0 }\n` +
      `.page { max-width: ${paper.css.split(' ')[0]}; aspect-ratio: ${paper.width} / ${paper.height} }\n` +
      `@media print { .page { width: ${paper.css.split(' ')[0]}; max-width: none; height: ${paper.css.split(' ')[1]} } }`;
    const planned = sheets.map((sheet, i) => {
      const grid = planSheet(sheet, style);
      return {sheet, grid, set: {number: i + 1, count: sheets.length}, pages: pageCount(grid, sheet.problems.length)};
    });
    const kinds = sheets[0]?.writeAnswers ? [false, true] : [false];
    this.pages = [];
    for (const answers of kinds) {
      for (const sheet of planned) {
        for (let page = 0; page < sheet.pages; ++page)
          this.pages.push({...sheet, answers, page});
      }
    }
    const fragment = document.createDocumentFragment();
    this.pages.forEach((page, i) => {
      const box = document.createElement('section');
      box.className = 'page';
      box.dataset.index = String(i);
      const which = page.set.count > 1 ? `第 ${page.set.number} 份` : '';
      // Read as a picture of the page: its texts stand in columns, not in
      // reading order; the text sheets (下载) are the sheets to read.
      box.setAttribute('role', 'img');
      box.setAttribute('aria-label', `${which}${page.answers ? '答案纸' : '答题纸'}，第 ${page.page + 1} 页，共 ${page.pages} 页`);
      fragment.append(box);
      page.box = box;
    });
    this.container.replaceChildren(fragment);
    this.fit();
    if (this.pages.length)
      this.draw(this.pages[0]);
    for (const page of this.pages)
      this.observer ? this.observer.observe(page.box) : this.draw(page);
    return [...new Set(planned.map((sheet) => fewerNote(sheet.grid)).filter(Boolean))];
  }

  draw(page) {
    if (page.drawn)
      return;
    page.drawn = true;
    page.box.innerHTML = pageHtml(pageDrawing({sheet: page.sheet, grid: page.grid, set: page.set, answers: page.answers,
                                               page: page.page, pages: page.pages}));
  }

  drawSeen(entries) {
    for (const entry of entries) {
      const page = this.pages[Number(entry.target.dataset.index)];
      if (entry.isIntersecting) {
        this.draw(page);
      } else if (page.drawn) {
        page.drawn = false;
        page.box.replaceChildren();
      }
    }
  }

  // Every page, for printing.
  drawAll() {
    for (const page of this.pages)
      this.draw(page);
  }
}
