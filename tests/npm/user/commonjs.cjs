// SPDX-License-Identifier: GPL-3.0-or-later
// The same package from CommonJS.
const { Solvane } = require('solvane');

Solvane.start().then(async (engine) => {
  const { move } = await engine.bestMove('startpos', { depth: 2 });
  await engine.quit();
  console.log(move);
});
