// SPDX-License-Identifier: GPL-3.0-or-later
// PGN text in and out: one game's tags and the SAN of its main line. Reading
// passes over comments, annotations and variations; any other word must be a
// move, which the game then checks.
const TAG = /^\s*\[([A-Za-z0-9_]+)\s+"((?:[^"\\]|\\.)*)"\]/;
const SKIPPED = /^(\$\d+|1-0|0-1|1\/2-1\/2|\*|)$/; // annotations, results, and what a move number leaves
// The Seven Tag Roster opens the tags, in its order.
const ROSTER = ['Event', 'Site', 'Date', 'Round', 'White', 'Black', 'Result'];
const WIDTH = 80;

// {headers, sans}: the tags by name, the moves as written ("0-0" read as "O-O").
export function readPgn(text) {
  const headers = {};
  let rest = text.replace(/^\uFEFF/, '');
  for (let tag; (tag = TAG.exec(rest)); rest = rest.slice(tag[0].length))
    headers[tag[1]] = tag[2].replace(/\\(.)/g, '$1');
  rest = rest.replace(/\{[^}]*\}|;.*$/gm, ' ');
  // Variations inside variations: the innermost go first.
  for (let before; before !== rest; ) [before, rest] = [rest, rest.replace(/\([^()]*\)/g, ' ')];
  const sans = rest.split(/\s+/).map((word) => word.replace(/^\d+\.+/, '').replace(/[?!]+$/, ''))
    .filter((word) => !SKIPPED.test(word));
  return { headers, sans: sans.map((san) => san.replace(/^0-0(-0)?/, (castling) => castling.replaceAll('0', 'O'))) };
}

// The game's text: its tags, the roster first, then its moves numbered from
// its first position, each with its NAG and comment when notes give them
// ({nag, comment} by ply, from 0), and its result, in lines of at most 80
// characters.
export function writePgn(tags, fen, sans, notes = []) {
  const names = [...ROSTER, ...Object.keys(tags).filter((name) => !ROSTER.includes(name))];
  const lines = names.filter((name) => tags[name] !== undefined)
    .map((name) => `[${name} "${String(tags[name]).replace(/[\\"]/g, '\\$&')}"]`);
  const [, turn, , , , full] = fen.split(' ');
  const first = (turn === 'w' ? 0 : 1) + 2 * ((+full || 1) - 1);
  const words = [];
  sans.forEach((san, i) => {
    const ply = first + i;
    // A Black move after a comment is numbered again, as after none at the start.
    if (ply % 2 === 0) words.push(`${ply / 2 + 1}.`);
    else if (i === 0 || notes[i - 1]?.comment) words.push(`${(ply + 1) / 2}...`);
    words.push(san);
    const { nag, comment } = notes[i] ?? {};
    if (nag) words.push(`$${nag}`);
    if (comment) words.push(...`{${comment.replace(/}/g, ')')}}`.split(' '));
  });
  const movetext = [];
  for (const word of [...words, tags.Result])
    if (movetext.length && `${movetext.at(-1)} ${word}`.length <= WIDTH) movetext.push(`${movetext.pop()} ${word}`);
    else movetext.push(word);
  return [...lines, '', ...movetext].join('\n');
}
