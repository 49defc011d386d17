// The style sheet of the day page, inline in its head.
#pragma once

namespace tillora {

inline constexpr const char* kDayPageStyle = R"css(
:root{--ink:#1c2430;--muted:#5d6875;--line:#dfe3e8;--bg:#f3f5f7;--bar:#2d6cb0;--hour:#3a8f67;--neg:#c0392b}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%}
body{margin:0;background:var(--bg);color:var(--ink);font:15px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,"Helvetica Neue",Arial,sans-serif;-webkit-print-color-adjust:exact;print-color-adjust:exact}
main{max-width:960px;margin:0 auto;padding:16px}
header{margin:4px 2px 12px}
header h1{font-size:1.45rem;margin:0 0 2px}
header p{margin:0;color:var(--muted)}
section{background:#fff;border:1px solid var(--line);border-radius:10px;padding:14px 16px;margin:0 0 14px;break-inside:avoid}
h2{font-size:1.05rem;margin:0 0 10px}
.cards{display:grid;grid-template-columns:repeat(auto-fit,minmax(135px,1fr));gap:10px}
.cards+.cards{margin-top:10px}
.card{border:1px solid var(--line);border-radius:8px;padding:8px 10px}
.k{color:var(--muted);font-size:.85rem}
.v{font-size:1.3rem;font-weight:600;font-variant-numeric:tabular-nums;white-space:nowrap}
.big .v{font-size:1.8rem}
.n{color:var(--muted);font-size:.85rem}
.none{color:var(--muted);margin:0}
.chart{display:block;width:100%;max-width:640px;height:auto;margin:0 auto}
.chart text{fill:var(--muted);font-size:15px;font-family:inherit}
.chart .h{fill:var(--hour)}
.neg{fill:var(--neg)}
table{width:100%;border-collapse:collapse;font-variant-numeric:tabular-nums}
.bars td{padding:3px 4px;vertical-align:middle}
.bars .l{width:40%;overflow-wrap:break-word}
.bars .a{width:1%;text-align:right;white-space:nowrap}
.bars svg{display:block;width:100%;height:16px}
.bars rect{fill:var(--bar)}
.bars rect.neg{fill:var(--neg)}
.scroll{overflow-x:auto}
.t th,.t td{padding:4px 6px;border-bottom:1px solid var(--line);text-align:right;white-space:nowrap}
.t th:first-child,.t td:first-child{text-align:left;white-space:normal}
.t th{color:var(--muted);font-weight:600;font-size:.85rem}
.t tr.sum td{font-weight:600;border-bottom:none}
.over{color:#24784a}.short{color:var(--neg)}
.count+.count{margin-top:14px}
.grid2{display:grid;grid-template-columns:repeat(auto-fit,minmax(260px,1fr));column-gap:14px}
.grid2>section{margin:0 0 14px}
pre{font:12.5px/1.35 ui-monospace,"DejaVu Sans Mono","Liberation Mono",Menlo,Consolas,monospace;overflow-x:auto;margin:0;white-space:pre}
@media (max-width:520px){main{padding:10px}section{padding:12px}.big .v{font-size:1.5rem}.t{font-size:12.5px}.t th,.t td{padding:4px 3px}.bars .l{width:46%}}
@page{size:A4;margin:14mm}
@media print{body{background:#fff;font-size:10pt}main{max-width:none;padding:0}section{border:0;border-top:1px solid #999;border-radius:0;padding:8px 0}.card{border-color:#bbb}.closeout{break-before:page;break-inside:auto}.closeout pre{font-size:8pt;overflow:visible}}
)css";

}  // namespace tillora
