// The page's address holds the sheet: the choices by the command line's
// option names and spellings, and the seed, so that a link opened anywhere
// makes that very sheet (index.html?seed=1&count=110&per-line=5&numbered).
// Names the page does not offer (out, encoding, pdf, anything unknown) are
// left out.

// The options an address gives, for the keys the page offers.
export function optionsFromAddress(search, keys, switches) {
  const options = {};
  for (const [key, value] of new URLSearchParams(search)) {
    if (keys.has(key))
      options[key] = switches.has(key) ? true : value;
  }
  return options;
}

// The query of options: the seed first, then in the order given; a switch
// by its name alone.
export function addressOf(options) {
  const {seed, ...rest} = options;
  const entries = [...(seed !== undefined ? [['seed', seed]] : []), ...Object.entries(rest)];
  const query = entries.map(([key, value]) => value === true ? key : `${key}=${encodeURIComponent(value)}`).join('&');
  return query ? `?${query}` : '';
}
