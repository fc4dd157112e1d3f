-- Turns one page of docs/ into a page of the help file (pandoc -f gfm, see
-- make_help.cmake), and writes what the contents tree and the index need
-- beside it, in the file the metadata field `help_entries` names:
--   page<TAB>TITLE                 the page's first heading
--   section<TAB>ID<TAB>TITLE       each second-level heading
--   entry<TAB>ID<TAB>MENU TEXT     each action, condition and expression,
--                                  ID its section's ("action-5")
-- Titles are ASCII: the help viewer's contents and index show no other.
--
-- Links between pages name the .md files, as the repository shows them;
-- in the help file they lead to the .html pages. The raw HTML of the
-- reference's cells (<br> between parameters) passes through unchanged.

local entries = {}
local title = nil

-- The characters the docs use beyond ASCII, and a stand-in for the rest.
local ascii_for = {
  ["\u{2014}"] = "-", ["\u{2013}"] = "-", ["\u{2018}"] = "'", ["\u{2019}"] = "'",
  ["\u{201C}"] = '"', ["\u{201D}"] = '"', ["\u{2026}"] = "...", ["\u{00A0}"] = " ",
  ["\u{2192}"] = "->", ["\u{00D7}"] = "x",
}
local function ascii(text)
  text = text:gsub("[\xC2-\xF4][\x80-\xBF]*", function(c) return ascii_for[c] or "?" end)
  return (text:gsub("[\t\r\n]", " "))
end

function Link(link)
  local target = link.target
  if not target:match("^%a[%w+.-]*:") then  -- not http:, mailto:, ...
    link.target = target:gsub("%.md$", ".html"):gsub("%.md#", ".html#")
  end
  return link
end

function Header(header)
  local text = ascii(pandoc.utils.stringify(header.content))
  if header.level == 1 and not title then
    title = text
  elseif header.level == 2 then
    table.insert(entries, "section\t" .. header.identifier .. "\t" .. text)
  end
end

-- The reference's tables: a row per entry, its code first and its menu text
-- third, under the heading of its kind ("Actions"). The index leads each
-- menu text to the entry's section ("action-5"), as the row's link does.
local section = nil
local function index_rows(tbl)
  local heads = tbl.head.rows
  if #heads == 0 then return end
  local head = heads[1].cells
  if #head < 3 or pandoc.utils.stringify(head[1].contents) ~= "code"
      or pandoc.utils.stringify(head[3].contents) ~= "menu text" then
    return
  end
  local kind = section:gsub("s$", "")
  for _, body in ipairs(tbl.bodies) do
    for _, row in ipairs(body.body) do
      local id = kind .. "-" .. pandoc.utils.stringify(row.cells[1].contents)
      table.insert(entries, "entry\t" .. id .. "\t" .. ascii(pandoc.utils.stringify(row.cells[3].contents)))
    end
  end
end

function Pandoc(doc)
  -- Walk in order, so that each table knows the heading it stands under.
  for _, block in ipairs(doc.blocks) do
    if block.t == "Header" then
      Header(block)
      if block.level == 2 then section = block.identifier end
    elseif block.t == "Table" and section then
      index_rows(block)
    end
  end
  doc = doc:walk({ Link = Link })
  title = title or "TRIVU"
  doc.meta.pagetitle = pandoc.MetaString(title)
  local out = pandoc.utils.stringify(doc.meta.help_entries or "")
  if out ~= "" then
    local file = assert(io.open(out, "w"))
    file:write("page\t" .. title .. "\n")
    for _, line in ipairs(entries) do file:write(line .. "\n") end
    file:close()
  end
  return doc
end

return { { Pandoc = Pandoc } }
