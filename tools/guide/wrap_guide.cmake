# Wraps cmark's HTML of the README in a page of its own: cmake -DBODY=... -DOUT=... -P
file(READ "${BODY}" body)
file(WRITE "${OUT}" "<!DOCTYPE html>
<html lang=\"ja\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>蒸気圧曲線 使い方 / Vaporia guide</title>
<style>
body { font-family: sans-serif; max-width: 50em; margin: 1em auto; padding: 0 1em; line-height: 1.6; }
img { max-width: 100%; }
code, pre { background: #f3f3f3; }
table { border-collapse: collapse; } td, th { border: 1px solid #ccc; padding: 0.2em 0.5em; }
</style>
</head>
<body>
${body}</body>
</html>
")
