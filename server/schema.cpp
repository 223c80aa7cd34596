#include "server/schema.h"

namespace quillserver {

void CreateSchema(Connection& conn) {
    conn.Exec(R"SQL(
CREATE TABLE IF NOT EXISTS meta(
  key TEXT PRIMARY KEY, value TEXT NOT NULL);

-- One row per comment change sent by a client; revision stays NULL until its author publishes.
CREATE TABLE IF NOT EXISTS queue_items(
  q_id INTEGER PRIMARY KEY AUTOINCREMENT,
  doc_id TEXT NOT NULL,
  q_type TEXT NOT NULL,
  page_no INTEGER NOT NULL,
  move_page_no INTEGER NOT NULL,
  action_type INTEGER NOT NULL,
  user_id TEXT NOT NULL,
  target_id TEXT NOT NULL,
  nm TEXT NOT NULL,
  irt TEXT NOT NULL,
  object BLOB NOT NULL,
  has_file INTEGER NOT NULL,
  creation_date TEXT NOT NULL,
  revision INTEGER,
  published_at TEXT);
CREATE INDEX IF NOT EXISTS queue_unpublished ON queue_items(doc_id, user_id) WHERE revision IS NULL;
-- Covers the revision poll: the comments published after a revision, counted from the index alone.
CREATE INDEX IF NOT EXISTS queue_published ON queue_items(doc_id, revision, nm) WHERE revision IS NOT NULL;

CREATE TABLE IF NOT EXISTS documents(
  doc_id TEXT PRIMARY KEY, latest_revision INTEGER NOT NULL);

CREATE TABLE IF NOT EXISTS reviews(
  squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL,
  opener_id TEXT NOT NULL DEFAULT '',
  status TEXT NOT NULL DEFAULT '',
  closed_by TEXT NOT NULL DEFAULT '',
  closed_at TEXT NOT NULL DEFAULT '',
  internal_finished_by TEXT NOT NULL DEFAULT '',
  internal_finished_at TEXT NOT NULL DEFAULT '',
  PRIMARY KEY(squrvwmno, rvwfileseq));

CREATE TABLE IF NOT EXISTS participants(
  squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL, patcp_seq INTEGER NOT NULL,
  repatcp_seq INTEGER NOT NULL DEFAULT 0,
  user_id TEXT NOT NULL, user_knm TEXT NOT NULL, site_use_nm TEXT NOT NULL,
  site_cd TEXT NOT NULL DEFAULT '',
  PRIMARY KEY(squrvwmno, rvwfileseq, patcp_seq));

CREATE TABLE IF NOT EXISTS decisions(
  squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL, cmnt_id TEXT NOT NULL,
  yesno TEXT NOT NULL, cmnt TEXT NOT NULL, contents TEXT NOT NULL,
  patcp_seq INTEGER NOT NULL, repatcp_seq INTEGER NOT NULL, user_id TEXT NOT NULL,
  decided_at TEXT NOT NULL,
  PRIMARY KEY(squrvwmno, rvwfileseq, cmnt_id));

CREATE TABLE IF NOT EXISTS feedback(
  squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL, cmnt_id TEXT NOT NULL,
  agree TEXT NOT NULL, cmnt TEXT NOT NULL, user_id TEXT NOT NULL, given_at TEXT NOT NULL,
  PRIMARY KEY(squrvwmno, rvwfileseq, cmnt_id));

CREATE TABLE IF NOT EXISTS finishes(
  squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL, user_id TEXT NOT NULL,
  patcp_seq INTEGER NOT NULL, repatcp_seq INTEGER NOT NULL,
  cmnt TEXT NOT NULL, finish INTEGER NOT NULL, finished_at TEXT NOT NULL,
  PRIMARY KEY(squrvwmno, rvwfileseq, user_id));

CREATE TABLE IF NOT EXISTS result_summaries(
  squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL, patcp_seq INTEGER NOT NULL,
  opener_id TEXT NOT NULL, cmnt TEXT NOT NULL, finished_at TEXT NOT NULL,
  PRIMARY KEY(squrvwmno, rvwfileseq, patcp_seq));

CREATE TABLE IF NOT EXISTS comment_details(
  squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL, cmnt_id TEXT NOT NULL,
  patcp_seq INTEGER NOT NULL, repatcp_seq INTEGER NOT NULL, user_id TEXT NOT NULL,
  inchrg_user_id TEXT NOT NULL, cmnt TEXT NOT NULL,
  merged_from INTEGER NOT NULL DEFAULT 0,
  created_at TEXT NOT NULL, deleted INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY(squrvwmno, rvwfileseq, cmnt_id));

CREATE TABLE IF NOT EXISTS merges(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  tgt_squrvwmno INTEGER NOT NULL, squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL,
  patcp_seq INTEGER NOT NULL, repatcp_seq INTEGER NOT NULL, user_id TEXT NOT NULL,
  cmnt_id TEXT NOT NULL, cmnt TEXT NOT NULL, merged_at TEXT NOT NULL);

CREATE TABLE IF NOT EXISTS convert_results(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  squrvwmno INTEGER NOT NULL, rvwfileseq INTEGER NOT NULL, sys_div TEXT NOT NULL,
  prog_clscd TEXT NOT NULL, file_nm TEXT NOT NULL, ecm_no TEXT NOT NULL, site_cd TEXT NOT NULL,
  saved_at TEXT NOT NULL);

CREATE TABLE IF NOT EXISTS contents(
  content_id TEXT PRIMARY KEY, file_name TEXT NOT NULL, size INTEGER NOT NULL,
  user_id TEXT NOT NULL, loc_cd TEXT NOT NULL, svr_id TEXT NOT NULL, stored_at TEXT NOT NULL);
)SQL");
}

}  // namespace quillserver
