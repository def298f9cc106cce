// Validates one glTF or .glb file with the Khronos glTF-Validator, prints its
// report, and exits 1 when the report has any error (with --strict, any error
// or warning).
//   node validate.js FILE [REPORT.json] [--strict]
'use strict';
const fs = require('fs');
const validator = require('gltf-validator');

const args = process.argv.slice(2);
const strict = args.includes('--strict');
const [file, reportFile] = args.filter((arg) => arg !== '--strict');
if (!file) {
  console.error('usage: node validate.js FILE [REPORT.json] [--strict]');
  process.exit(2);
}
validator
  .validateBytes(new Uint8Array(fs.readFileSync(file)), { maxIssues: 1000 })
  .then((report) => {
    const text = JSON.stringify(report, null, 2);
    if (reportFile) {
      fs.writeFileSync(reportFile, text);
    }
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints`);
    for (const message of issues.messages) {
      console.log(`  [${message.severity}] ${message.code} ${message.pointer || ''}: ${message.message}`);
    }
    process.exit(issues.numErrors > 0 || (strict && issues.numWarnings > 0) ? 1 : 0);
  })
  .catch((error) => {
    console.error(`${file}: the validator could not read it: ${error}`);
    process.exit(1);
  });
