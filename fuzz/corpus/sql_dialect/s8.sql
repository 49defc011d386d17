select * from ar where covers >= 1 order by covers
